#pragma once

// Framework windows. Every window has a handle and, when it belongs to a CWnd, that
// object's message map; messages are delivered synchronously through it.
//
// A window's client area is a 32-bit surface of the same size: paint and
// client contexts draw into it, and the screen shows it with the window's
// children on top. Coordinates are client pixels, (0, 0) at the top-left.

#include "core/String.h"
#include "gdi/Dc.h"
#include "ui/CmdTarget.h"
#include "ui/Messages.h"
#include "ui/Modal.h"

struct CCreateContext;

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd() = default;
    // Destroys the window if it still exists.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object of a window: the one whose map it runs, or a wrapper that
    // lives as long as the window does. Null for a null or dead handle.
    static CWnd* FromHandle(HWND hWnd);
    // Only the object whose map the window runs; null otherwise.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Makes this object the one whose map the window runs.
    BOOL Attach(HWND hWnd);
    HWND Detach();

    // ---- Creating and destroying ----

    // Called before the window exists; may change the record. FALSE abandons.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // `rect` is in the parent's client coordinates for a child, screen
    // coordinates otherwise (the client area: frames are the desktop's).
    // WM_CREATE returning -1 destroys the window again and gives FALSE.
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          LPVOID lpParam = nullptr);
    // Sends WM_DESTROY to the window and then to its descendants, and
    // WM_NCDESTROY to each, deepest first; the objects are detached then.
    virtual BOOL DestroyWindow();

    // ---- Messages ----

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // To every child, and with bDeep to their children too, parents first.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);
    // The default processing of the message being handled.
    LRESULT Default();

    // The entry of every message: the map, or the default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Finds and runs the map's handler; FALSE when there is none.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_COMMAND: a command from a menu or accelerator runs only while its
    // update handler leaves it enabled; then it goes to OnCmdMsg.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // ---- Drawing ----

    // A context over the client area, origin at its top-left; give it back
    // with ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();

    // ---- Mouse ----

    CWnd* SetCapture();
    static CWnd* GetCapture();

    // ---- State ----

    void GetClientRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    DWORD GetStyle() const;
    void SetWindowText(LPCSTR lpszString);
    void SetWindowTextA(LPCSTR lpszString) { SetWindowText(lpszString); }
    void GetWindowText(CString& rString) const;
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;

    // A modal box owned by this window; the caption defaults to the
    // application's name.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

protected:
    // Handlers with the default processing; a derived class lists its own
    // in its map and may call these to pass a message on.
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    // The default processing hands the wheel on to the parent window.
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnMouseHWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();

    // After WM_NCDESTROY, when the window is gone; objects that own
    // themselves delete themselves here.
    virtual void PostNcDestroy();

    DECLARE_MESSAGE_MAP()

private:
    MSG m_currentMsg{}; // the message being handled, for Default
};

// A paint context: BeginPaint on construction, EndPaint on destruction. It
// draws into the window's surface, clipped to m_ps.rcPaint.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// GetDC on construction, ReleaseDC on destruction.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

// ---- Window calls --------------------------------------------------------------

BOOL IsWindow(HWND hWnd);
LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// The processing a window gets for a message that no map handles.
LRESULT DefWindowProcA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int nCmdShow);
BOOL IsWindowVisible(HWND hWnd);
HWND GetParent(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nID);
int GetDlgCtrlID(HWND hWnd);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL MoveWindow(HWND hWnd, int x, int y, int nWidth, int nHeight, BOOL bRepaint);
BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
int GetWindowTextLengthA(HWND hWnd);
// The active top-level window, or null.
HWND GetActiveWindow();

// The colour WM_ERASEBKGND's default processing fills with; white at first.
void SetWindowBackground(HWND hWnd, COLORREF color);

// Marks (a part of) the client area for repainting at the next paint; with
// bErase the background is erased first. A null rectangle is the whole area.
BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase);
BOOL ValidateRect(HWND hWnd, LPCRECT lpRect);
// Moves the client area's picture by (dx, dy) and marks only the strips it
// uncovers for repainting (with erase); a window with children, or a move of
// a whole size or more, is marked whole.
BOOL ScrollWindow(HWND hWnd, int dx, int dy);
// Paints now what is marked, if the window is visible.
BOOL UpdateWindow(HWND hWnd);
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// A context over the client area as it is shown, children included; pixels
// outside the visible part of the client area read as CLR_INVALID.
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);

// Mouse messages go to the window until released, wherever the mouse is.
// Returns the window that held the capture before.
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();

// ---- Window message entries ------------------------------------------------------

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM lParam) -> LRESULT {                \
         return static_cast<ThisClass*>(target)->OnCreate(                                         \
             reinterpret_cast<LPCREATESTRUCT>(lParam));                                            \
     }},

#define ON_WM_DESTROY()                                                                            \
    {WM_DESTROY, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                      \
         static_cast<ThisClass*>(target)->OnDestroy();                                             \
         return 0;                                                                                 \
     }},

#define ON_WM_NCDESTROY()                                                                          \
    {WM_NCDESTROY, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                    \
         static_cast<ThisClass*>(target)->OnNcDestroy();                                           \
         return 0;                                                                                 \
     }},

#define ON_WM_CLOSE()                                                                              \
    {WM_CLOSE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                        \
         static_cast<ThisClass*>(target)->OnClose();                                               \
         return 0;                                                                                 \
     }},

#define ON_WM_PAINT()                                                                              \
    {WM_PAINT, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                        \
         static_cast<ThisClass*>(target)->OnPaint();                                               \
         return 0;                                                                                 \
     }},

#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM) -> LRESULT {            \
         return static_cast<ThisClass*>(target)->OnEraseBkgnd(                                     \
             CDC::FromHandle(reinterpret_cast<HDC>(wParam)));                                      \
     }},

#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {           \
         static_cast<ThisClass*>(target)->OnSize(static_cast<UINT>(wParam), LOWORD(lParam),        \
                                                 HIWORD(lParam));                                  \
         return 0;                                                                                 \
     }},

#define ON_WM_ACTIVATE()                                                                           \
    {WM_ACTIVATE, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {       \
         static_cast<ThisClass*>(target)->OnActivate(                                              \
             LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));    \
         return 0;                                                                                 \
     }},

#define PIXMORA_ON_MOUSE_(message, memberFxn)                                                      \
    {message, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {           \
         static_cast<ThisClass*>(target)->memberFxn(                                               \
             static_cast<UINT>(wParam), CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));       \
         return 0;                                                                                 \
     }},
#define ON_WM_MOUSEMOVE() PIXMORA_ON_MOUSE_(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() PIXMORA_ON_MOUSE_(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() PIXMORA_ON_MOUSE_(WM_LBUTTONUP, OnLButtonUp)

#define ON_WM_KEYDOWN()                                                                            \
    {WM_KEYDOWN, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {        \
         static_cast<ThisClass*>(target)->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam),     \
                                                    HIWORD(lParam));                               \
         return 0;                                                                                 \
     }},

#define ON_WM_MOUSEWHEEL()                                                                         \
    {WM_MOUSEWHEEL, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {     \
         return static_cast<ThisClass*>(target)->OnMouseWheel(                                     \
             LOWORD(wParam), static_cast<short>(HIWORD(wParam)),                                   \
             CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));                                  \
     }},

#define ON_WM_MOUSEHWHEEL()                                                                        \
    {WM_MOUSEHWHEEL, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {    \
         static_cast<ThisClass*>(target)->OnMouseHWheel(                                           \
             LOWORD(wParam), static_cast<short>(HIWORD(wParam)),                                   \
             CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));                                  \
         return 0;                                                                                 \
     }},

#define ON_WM_PALETTECHANGED()                                                                     \
    {WM_PALETTECHANGED, 0, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM) -> LRESULT {        \
         static_cast<ThisClass*>(target)->OnPaletteChanged(                                        \
             CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));                                    \
         return 0;                                                                                 \
     }},

#define ON_WM_QUERYNEWPALETTE()                                                                    \
    {WM_QUERYNEWPALETTE, 0, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {              \
         return static_cast<ThisClass*>(target)->OnQueryNewPalette();                              \
     }},
