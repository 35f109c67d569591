#pragma once

// Control bars: a toolbar and a status bar docked in a frame. A bar's window
// stands for it among the frame's children (its control id, its messages);
// what the user sees is drawn by the frame.

#include "core/String.h"
#include "ui/Frame.h"

#include <memory>
#include <vector>

// ---- Bar styles ---------------------------------------------------------------

inline constexpr DWORD CBRS_NOALIGN = 0x00000000;
inline constexpr DWORD CBRS_FLOATING = 0x00000001;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x00000002;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x00000004; // a floating bar can be reshaped
inline constexpr DWORD CBRS_HIDE_INPLACE = 0x00000008;
inline constexpr DWORD CBRS_TOOLTIPS = 0x00000010; // buttons show their tips
inline constexpr DWORD CBRS_FLYBY = 0x00000020;    // a button's prompt while the mouse rests on it
inline constexpr DWORD CBRS_FLOAT_MULTI = 0x00000040;
inline constexpr DWORD CBRS_BORDER_3D = 0x00000080;
inline constexpr DWORD CBRS_BORDER_LEFT = 0x00000100;
inline constexpr DWORD CBRS_BORDER_TOP = 0x00000200;
inline constexpr DWORD CBRS_BORDER_RIGHT = 0x00000400;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x00000800;
inline constexpr DWORD CBRS_BORDER_ANY = 0x00000F00;
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x00001000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x00002000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x00004000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x00008000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0x0000F000;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD CBRS_ALL = 0x0040FFFF;

inline constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// ---- Bars ---------------------------------------------------------------------

class CControlBar : public CWnd
{
public:
    ~CControlBar() override;

    // The CBRS_* bits of the bar (the low word of its creation style and the
    // behaviour bits set since).
    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);

    // The edges (CBRS_ALIGN_*) the bar may dock on; with any, it can float
    // too. The frame must allow an edge as well.
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingStyle() const { return m_dwDockStyle; }

    // Shown in its frame (docked or floating).
    BOOL IsVisible() const;
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }

    // Shows the current state of the bar's commands, asking pTarget's route.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) = 0;

    // The widgets that show the bar: the window layer's own.
    struct Impl;
    std::unique_ptr<Impl> m_impl;

protected:
    CControlBar();

    // Makes the bar's window as a child of a frame; FALSE when pParentWnd is
    // not a frame with a window.
    BOOL CreateBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;

    friend class CFrameWnd;
};

class CToolBar : public CControlBar
{
public:
    CToolBar();
    ~CToolBar() override;

    using CWnd::Create;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    // Buttons from toolbar resource nIDResource, in order, with their
    // pictures from bitmap nIDResource. FALSE when either is missing.
    BOOL LoadToolBar(UINT nIDResource);

    // Button count, separators included, and a button's command (0 for a
    // separator).
    int GetCount() const;
    UINT GetItemID(int nIndex) const;

    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    std::vector<UINT> m_ids;
};

class CStatusBar : public CControlBar
{
public:
    CStatusBar();
    ~CStatusBar() override;

    using CWnd::Create;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id: ID_SEPARATOR is the message pane (the first one
    // stretches), any other id shows its string, sized to fit. FALSE when an
    // id has no string.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    // With bUpdate the pane shows the text before this returns.
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const;
    UINT GetItemID(int nIndex) const;
    int GetCount() const { return static_cast<int>(m_panes.size()); }

    // An indicator pane shows its text only while its command is enabled.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler) override;

private:
    struct Pane
    {
        UINT id;
        CString text;
        bool enabled;
    };
    void ShowPane(int nIndex, BOOL bUpdate);

    std::vector<Pane> m_panes;
};
