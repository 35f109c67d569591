#pragma once

// Message maps and command routing.
//
// A class that handles messages or commands lists them in a static table,
// chained to its base class's table:
//
//     class CMyView : public CWnd {
//         ...
//         void OnPaint();
//         void OnViewEnlarge();
//         DECLARE_MESSAGE_MAP()
//     };
//
//     BEGIN_MESSAGE_MAP(CMyView, CWnd)
//         ON_WM_PAINT()
//         ON_COMMAND(ID_VIEW_ENLARGE, OnViewEnlarge)
//     END_MESSAGE_MAP()
//
// Each entry holds a plain function made by a capture-less lambda that casts
// the target to the class named in BEGIN_MESSAGE_MAP and calls the handler
// with its usual arguments, so a handler with the wrong signature fails to
// compile and no member pointer is ever cast.

#include "core/Object.h"
#include "core/String.h"
#include "ui/Messages.h"

#include <type_traits>

class CCmdTarget;
class CCmdUI;

using AFX_PMSG = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

// Notification codes of commands. An update handler receives a CCmdUI.
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage; // WM_COMMAND for command entries
    UINT nCode;    // command entries: CN_COMMAND or CN_UPDATE_COMMAND_UI
    UINT nID;      // command entries: the id range
    UINT nLastID;
    AFX_PMSG pfn; // null ends a table
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)(); // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Asked for with pExtra of a CN_COMMAND: who would handle the command. The
// handler is found but not called.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pfn;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

public:
    CCmdTarget() = default;

    // Looks for a command entry for (nID, nCode) in this object's tables and
    // calls it. Overrides route a command on to other targets. With nCode
    // CN_COMMAND and pExtra an AFX_CMDHANDLERINFO only reports the handler.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra);

    // Whether anything along this target's route handles command nID.
    BOOL IsCommandHandled(UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry for the message (and, for commands, code and id) along
    // the chain of tables, most derived first; null when there is none.
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                             UINT id);
};

// The state of one user-interface item (menu item, toolbar button) as an
// update handler sets it. The item kinds that show it derive from this and
// apply the state; this base only records it.
class CCmdUI
{
public:
    CCmdUI() = default;
    CCmdUI(const CCmdUI&) = delete;
    CCmdUI& operator=(const CCmdUI&) = delete;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    virtual void SetCheck(int nCheck = 1); // 0 clear, 1 checked, 2 indeterminate
    virtual void SetText(LPCSTR lpszText);

    // Asks pTarget's route for the item's state: its update handler decides;
    // without one, and with bDisableIfNoHandler, the item is enabled exactly
    // when some target handles the command. TRUE when an update handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

    UINT m_nID = 0;
    BOOL m_bEnabled = TRUE;
    BOOL m_bEnableChanged = FALSE;
    int m_nCheck = 0;
    CString m_strText;
    BOOL m_bTextChanged = FALSE;
};

// ---- Declaring and defining a map ------------------------------------------------

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        0, 0, 0, 0, nullptr                                                                        \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static_assert(std::is_base_of_v<TheBaseClass, ThisClass>,                                      \
                  "a message map chains to a base class");                                         \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]};   \
    return &messageMap;                                                                            \
    }

// ---- Command entries ------------------------------------------------------------

// void memberFxn()
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(id),      \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                                           \
         static_cast<ThisClass*>(target)->memberFxn();                                             \
         return 0;                                                                                 \
     }},

// void memberFxn(UINT nID), for every id from id1 to id2
#define ON_COMMAND_RANGE(id1, id2, memberFxn)                                                      \
    {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id1), static_cast<UINT>(id2),    \
     [](CCmdTarget* target, WPARAM wParam, LPARAM) -> LRESULT {                                    \
         static_cast<ThisClass*>(target)->memberFxn(static_cast<UINT>(wParam));                    \
         return 0;                                                                                 \
     }},

// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    {WM_COMMAND, static_cast<UINT>(CN_UPDATE_COMMAND_UI), static_cast<UINT>(id),                   \
     static_cast<UINT>(id), [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT {             \
         static_cast<ThisClass*>(target)->memberFxn(reinterpret_cast<CCmdUI*>(lParam));            \
         return 0;                                                                                 \
     }},

// LRESULT memberFxn(WPARAM, LPARAM), for any message
#define ON_MESSAGE(message, memberFxn)                                                             \
    {static_cast<UINT>(message), 0, 0, 0,                                                          \
     [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {                             \
         return static_cast<ThisClass*>(target)->memberFxn(wParam, lParam);                        \
     }},
