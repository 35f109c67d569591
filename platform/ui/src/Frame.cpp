// The frame: its window, its view and the layout around it, its caption and its command route.

#include "ui/Frame.h"

#include "DevicePixels.h"
#include "FileDrop.h"
#include "FrameHost.h"
#include "FramePlacement.h"
#include "Hwnd.h"
#include "Pictures.h"
#include "ui/Bars.h"
#include "ui/DocView.h"
#include "ui/ResourceProvider.h"
#include "ui/WinApp.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>

namespace {

// The application's main window, whose place is kept between runs.
bool IsMainFrame(const CFrameWnd* frame)
{
    const CWinApp* app = AfxGetApp();
    return frame == AfxGetMainWnd() || (app && frame == app->m_pMainWnd);
}

} // namespace

// ---- The frame ---------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_UPDATE_COMMAND_UI(AFX_IDW_TOOLBAR, OnUpdateControlBarMenu)
    ON_UPDATE_COMMAND_UI(AFX_IDW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_RANGE(AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(kIndicatorCaps, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(kIndicatorNum, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(kIndicatorScroll, OnUpdateKeyIndicator)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd() = default;

CFrameWnd::~CFrameWnd()
{
    for (CControlBar* bar : m_host ? m_host->bars : std::vector<CControlBar*>())
        bar->m_pDockSite = nullptr;
    if (m_host)
        m_host.release()->deleteLater();
}

FrameHost* CFrameWnd::Host()
{
    if (!m_host && IsLiveWindow(m_hWnd))
        m_host = std::make_unique<FrameHost>(this, WidgetOf(m_hWnd));
    return m_host.get();
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext)
{
    const MENUTEMPLATE menu = AfxLoadMenu(nIDResource);
    if (menu.empty() || m_hWnd)
        return FALSE;
    m_nIDHelp = nIDResource;
    CString title = CommandPrompt(nIDResource); // the first field
    m_strTitle = title;
    const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
    if (!CreateEx(0, nullptr, title, dwDefaultStyle, rect, pParentWnd, 0, pContext))
        return FALSE;

    FrameHost* host = Host();
    if (!host)
        return FALSE;
    host->BuildMenu(menu);
    host->SetAccelerators(AfxLoadAccelerators(nIDResource));
    QWidget* widget = WidgetOf(m_hWnd);
    const QIcon icon = IconFromImages(AfxLoadIcon(nIDResource));
    if (!icon.isNull())
        widget->setWindowIcon(icon);
    // The window system's default size: most of the screen.
    if (!widget->testAttribute(Qt::WA_Resized)) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            widget->resize(screen->availableSize() * 3 / 4);
    }
    AcceptFileDrops(widget);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    // The frame keeps its creator's style; position and size are left to
    // the window system unless given.
    return CWnd::PreCreateWindow(cs);
}

LRESULT CFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ACTIVATE) {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        // The view shares the frame's activation: it gets the keyboard and
        // its chance to realise its colours.
        if (auto* view = dynamic_cast<CView*>(GetActiveView()); view && HIWORD(wParam) == 0)
            view->OnActivateView(LOWORD(wParam) != WA_INACTIVE, view, view);
        return result;
    }
    if (message != WM_CREATE)
        return CWnd::WindowProc(message, wParam, lParam);
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    m_created = result != -1;
    return result;
}

void CFrameWnd::PostNcDestroy()
{
    if (m_created)
        delete this;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!Host())
        return -1;
    auto* context = static_cast<CCreateContext*>(lpCreateStruct->lpCreateParams);
    if (context && context->m_pNewViewClass && !CreateView(context))
        return -1;
    return 0;
}

void CFrameWnd::OnDestroy()
{
    if (IsMainFrame(this))
        SaveFramePlacement(this);
    if (CWinApp* app = AfxGetApp())
        app->FrameDestroyed(this);
    if (m_host) {
        for (CControlBar* bar : m_host->bars)
            bar->m_pDockSite = nullptr;
        m_host->bars.clear();
        // This may run inside one of the host's own callbacks.
        m_host->Release();
        m_host.release()->deleteLater();
    }
    m_pViewActive = nullptr;
    m_hWndViewActive = nullptr;
    CWnd::OnDestroy();
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    RecalcLayout();
}

// ---- The view and the layout ---------------------------------------------------------

CWnd* CFrameWnd::GetActiveView() const
{
    // The pointer is compared, never followed, until the window vouches for
    // the object.
    if (!m_pViewActive || CWnd::FromHandlePermanent(m_hWndViewActive) != m_pViewActive)
        return nullptr;
    return m_pViewActive;
}

void CFrameWnd::SetActiveView(CWnd* pViewNew, BOOL bNotify)
{
    CWnd* old = GetActiveView();
    m_pViewActive = pViewNew;
    m_hWndViewActive = pViewNew ? pViewNew->GetSafeHwnd() : nullptr;
    if (!bNotify || old == pViewNew)
        return;
    auto* oldView = dynamic_cast<CView*>(old);
    auto* newView = dynamic_cast<CView*>(pViewNew);
    if (oldView)
        oldView->OnActivateView(FALSE, newView, oldView);
    if (newView && GetActiveView() == newView)
        newView->OnActivateView(TRUE, newView, oldView);
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    std::vector<CView*> views;
    if (pDoc) {
        for (POSITION pos = pDoc->GetFirstViewPosition(); pos;)
            if (CView* view = pDoc->GetNextView(pos); view->GetParentFrame() == this)
                views.push_back(view);
    }
    if (!GetActiveView() && !views.empty())
        SetActiveView(views.front());
    for (CView* view : views)
        view->OnInitialUpdate();
    OnUpdateFrameTitle(TRUE);
    if (bMakeVisible) {
        // The main window first shows where the user last left it.
        const bool first = !IsWindowVisible() && IsMainFrame(this);
        if (first)
            RestoreFramePlacement(this);
        ShowWindow(SW_SHOW);
        if (first)
            RestoreBarPlacement(this);
        UpdateWindow();
    }
}

CDocument* CFrameWnd::GetActiveDocument() const
{
    auto* view = dynamic_cast<CView*>(GetActiveView());
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::RecalcLayout(BOOL)
{
    FrameHost* host = m_host.get();
    if (!host || !host->Central() || !host->FrameWidget())
        return;
    const HWND pane = ::GetDlgItem(m_hWnd, static_cast<int>(AFX_IDW_PANE_FIRST));
    QWidget* paneWidget = WidgetOf(pane);
    if (!paneWidget)
        return;
    QWidget* central = host->Central();
    const QRect area(central->mapTo(host->FrameWidget(), QPoint(0, 0)), central->size());
    if (paneWidget->geometry() != area) {
        const CRect device = ToDevice(paneWidget, area);
        ::MoveWindow(pane, device.left, device.top, device.Width(), device.Height(), TRUE);
    }
    if (QWidget* again = WidgetOf(pane))
        again->raise();
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    if (!pContext || !pContext->m_pNewViewClass ||
        !pContext->m_pNewViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)))
        return nullptr;
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(object);
    if (!view) {
        delete object;
        return nullptr;
    }
    const RECT none{0, 0, 0, 0};
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, none, this, nID, pContext)) {
        delete view;
        return nullptr;
    }
    RecalcLayout();
    return view;
}

// ---- Caption -----------------------------------------------------------------------------

void CFrameWnd::SetTitle(LPCSTR lpszTitle)
{
    m_strTitle = lpszTitle;
}

CString CFrameWnd::GetTitle() const
{
    return m_strTitle;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* doc = GetActiveDocument();
    if (bAddToTitle && doc && (GetStyle() & FWS_ADDTOTITLE))
        UpdateFrameTitleForDocument(doc->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCSTR lpszDocName)
{
    CString caption;
    if (lpszDocName && *lpszDocName) {
        caption = lpszDocName;
        caption += " - ";
    }
    caption += m_strTitle;
    CString now;
    GetWindowText(now);
    // Unchanged captions are left alone: setting one makes the window
    // manager redraw the title bar.
    if (!(now == caption))
        SetWindowText(caption);
}

// ---- Commands and palettes -------------------------------------------------------------

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra)
{
    if (CWnd* view = GetActiveView(); view && view->OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra);
}

void CFrameWnd::OnPaletteChanged(CWnd* pFocusWnd)
{
    CWnd::OnPaletteChanged(pFocusWnd);
}

BOOL CFrameWnd::OnQueryNewPalette()
{
    return CWnd::OnQueryNewPalette();
}
