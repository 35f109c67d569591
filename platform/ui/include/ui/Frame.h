#pragma once

// The main window: a top-level window with a menu bar, dockable control bars
// around the edges and one client window (the view) filling what is left.
//
// Commands from its menu, its accelerators and its toolbar buttons arrive as
// WM_COMMAND and are routed to the active view, then the frame itself, then
// the application object. A command that nothing along that route handles
// shows disabled and its shortcut does nothing.

#include "core/String.h"
#include "ui/Wnd.h"

#include <memory>

class CControlBar;
class CDocument;
class FrameHost;

// Control ids of the frame's parts. A bar's id is also the command that shows
// and hides it.
inline constexpr UINT AFX_IDW_CONTROLBAR_FIRST = 0xE800;
inline constexpr UINT AFX_IDW_CONTROLBAR_LAST = 0xE8FF;
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
inline constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
inline constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
inline constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
// The client window that fills the frame.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// A status-bar pane that shows no fixed text: the message pane.
inline constexpr UINT ID_SEPARATOR = 0;

// Sent to a frame's bars (wParam: disable commands nobody handles) when the
// program is idle, so that they show the commands' current state.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

// Frames take this style unless told otherwise.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000; // the document's title goes in the caption

class CFrameWnd : public CWnd
{
    DECLARE_DYNCREATE(CFrameWnd)

public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the window from the resources of nIDResource: its menu,
    // accelerators, icon and title (the first '\n'-separated field of string
    // nIDResource). FALSE when there is no such menu or creation fails (also
    // when OnCreate returns -1). A context that names a view class has that
    // view made as the client window while the frame is created.
    virtual BOOL LoadFrame(UINT nIDResource,
                           DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // ---- The view ----

    // The view that commands reach first; null when none is set or its
    // window is gone.
    CWnd* GetActiveView() const;
    // With bNotify, a view losing or gaining the place hears of it
    // (OnActivateView).
    void SetActiveView(CWnd* pViewNew, BOOL bNotify = TRUE);
    // The active view's document, or null.
    CDocument* GetActiveDocument() const;
    // After a document was made new or opened in this frame: the frame's
    // first view of pDoc becomes active unless one is, every view of pDoc
    // here gets OnInitialUpdate, the caption names the document and, with
    // bMakeVisible, the frame shows.
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible = TRUE);
    // Makes a view of the context's class as child nID, joined to the
    // context's document, and shows it. Null when that fails.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // Places the client window (id AFX_IDW_PANE_FIRST) in the area the bars
    // leave free. Runs by itself when the frame or its bars change.
    virtual void RecalcLayout(BOOL bNotify = TRUE);

    // ---- Control bars ----

    // Lets bars dock on the given CBRS_ALIGN_* edges of this frame.
    void EnableDocking(DWORD dwDockStyle);
    // Docks the bar along an edge: the dock bar's id names it, 0 picks the
    // first of top, bottom, left, right that the bar accepts.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // The bar whose control id is nID, or null.
    CControlBar* GetControlBar(UINT nID) const;
    // The status bar, or null.
    CWnd* GetMessageBar() const;

    // Pane 0 of the status bar: a text, or the prompt of command nID (its
    // string up to '\n'; AFX_IDS_IDLEMESSAGE gives the idle text).
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);

    // ---- Caption ----

    void SetTitle(LPCSTR lpszTitle);
    CString GetTitle() const;
    // Shows the title, with the document's in front when there is one. The
    // document/view layer overrides this to name its document.
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    // "document - title", or the title alone for a null or empty name.
    void UpdateFrameTitleForDocument(LPCSTR lpszDocName);

    // ---- Commands ----

    // The view, then this frame, then the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra) override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // The palette notices: the default processing. A frame that wants its
    // children to hear of them relays them itself; this one relays nothing,
    // so that such a frame reaches each child once.
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    // View > Toolbar and View > Status Bar: the bar with the command's id.
    void OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    // Status-bar key indicators: enabled while the lock is on.
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

    // A frame lives on the heap: once its window is gone the object goes too.
    // A frame whose creation failed stays with its creator.
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()

    UINT m_nIDHelp = 0; // the resource id the frame was loaded from
    CString m_strTitle;

private:
    friend FrameHost* FrameHostOf(CFrameWnd* frame);
    friend class CControlBar;
    FrameHost* Host();

    std::unique_ptr<FrameHost> m_host;
    CWnd* m_pViewActive = nullptr;
    HWND m_hWndViewActive = nullptr; // to tell when the view's window is gone
    DWORD m_dwDockStyle = 0;
    bool m_created = false; // WM_CREATE succeeded
};
