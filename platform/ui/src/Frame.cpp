// The main frame: its Qt main window, menu, accelerators, command route,
// caption and the placing of its client window.

#include "ui/Frame.h"

#include "DevicePixels.h"
#include "FrameHost.h"
#include "Hwnd.h"
#include "Pictures.h"
#include "ui/Bars.h"
#include "ui/DocView.h"
#include "ui/ResourceProvider.h"
#include "ui/WinApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstring>

namespace {

// The string of the idle message and the key indicators' commands: the
// framework's standard numbers.
constexpr UINT kIdleMessage = 0xE001;
constexpr UINT kIndicatorCaps = 0xE701;
constexpr UINT kIndicatorNum = 0xE702;
constexpr UINT kIndicatorScroll = 0xE703;

// Commands from this number up belong to the system menu.
constexpr UINT kFirstSystemCommand = 0xF000;

// Toolbar buttons follow the commands' state at about this pace while the
// frame is shown.
constexpr int kIdleIntervalMs = 100;

// The toolkit has no portable way to read the lock keys' state, so the
// indicators show them as off rather than guess.
bool LockKeyOn(UINT)
{
    return false;
}

QString Text(LPCSTR text)
{
    return QString::fromLatin1(text ? text : "");
}

} // namespace

// ---- The host ---------------------------------------------------------------------

FrameHost::FrameHost(CFrameWnd* frame, QWidget* frameWidget)
    : m_frame(frame), m_frameWidget(frameWidget), m_idleTimer(new QTimer(this))
{
    m_main = new QMainWindow(frameWidget);
    // A main window makes itself a window of its own; this one lives inside
    // the frame's widget.
    m_main->setWindowFlags(Qt::Widget);
    m_main->show();
    // The frame's own pixels never show: the main window paints everything
    // the client window does not cover.
    m_main->setAutoFillBackground(true);
    m_main->setDockNestingEnabled(false);
    m_central = new QWidget(m_main);
    m_main->setCentralWidget(m_central);
    auto* layout = new QVBoxLayout(frameWidget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_main);

    m_central->installEventFilter(this);
    m_main->installEventFilter(this);
    frameWidget->installEventFilter(this);
    qApp->installEventFilter(this);

    connect(m_idleTimer, &QTimer::timeout, this, &FrameHost::OnIdle);
    m_idleTimer->start(kIdleIntervalMs);
}

FrameHost::~FrameHost()
{
    qApp->removeEventFilter(this);
}

void FrameHost::Release()
{
    m_frame = nullptr;
    m_idleTimer->stop();
    qApp->removeEventFilter(this);
}

void FrameHost::BuildMenu(MENUTEMPLATE menu)
{
    if (!m_main)
        return;
    auto* bar = new QMenuBar(m_main);
    m_main->setMenuBar(bar);
    AddMenuItems(bar, menu);
}

void FrameHost::AddMenuItems(QWidget* menu, std::span<const MENUITEMTEMPLATE> items)
{
    auto* popup = qobject_cast<QMenu*>(menu);
    auto* bar = qobject_cast<QMenuBar*>(menu);
    for (const MENUITEMTEMPLATE& item : items) {
        if (item.mtOption & MF_POPUP) {
            auto* sub = new QMenu(Text(item.mtString), menu);
            if (popup)
                popup->addMenu(sub);
            else
                bar->addMenu(sub);
            connect(sub, &QMenu::aboutToShow, this, [this, sub] { UpdateMenu(sub); });
            connect(sub, &QMenu::aboutToHide, this, [this] {
                if (m_frame)
                    m_frame->SetMessageText(kIdleMessage);
            });
            AddMenuItems(sub, item.mtItems);
            continue;
        }
        if (!popup)
            continue; // a bar holds popups only
        if (item.mtOption & MF_SEPARATOR) {
            popup->addSeparator();
            continue;
        }
        // The text after '\t' shows right-aligned as the shortcut; the keys
        // themselves are the accelerator table's.
        QAction* action = popup->addAction(Text(item.mtString));
        const UINT id = item.mtID;
        action->setData(id);
        action->setEnabled((item.mtOption & (MF_GRAYED | MF_DISABLED)) == 0);
        if (item.mtOption & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        ConnectCommand(action, id);
    }
}

void FrameHost::ConnectCommand(QAction* action, UINT id)
{
    connect(action, &QAction::triggered, this, [this, id] {
        if (m_frame)
            m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    });
    connect(action, &QAction::hovered, this, [this, id] {
        if (m_frame)
            m_frame->SetMessageText(id);
    });
}

QAction* FrameHost::InsertCommandItem(QMenu* menu, QAction* before, UINT id, const QString& text)
{
    auto* action = new QAction(text, menu);
    action->setData(id);
    menu->insertAction(before, action);
    ConnectCommand(action, id);
    return action;
}

void FrameHost::UpdateMenu(QMenu* menu)
{
    if (!m_frame)
        return;
    for (QAction* action : menu->actions()) {
        const UINT id = action->data().toUInt();
        if (action->isSeparator() || action->menu() || id == 0 || id >= kFirstSystemCommand)
            continue;
        ActionCmdUI state(action, true, this);
        state.m_nID = id;
        state.DoUpdate(m_frame, TRUE);
    }
}

void FrameHost::SetAccelerators(std::span<const ACCEL> table)
{
    m_accelerators.assign(table.begin(), table.end());
}

bool FrameHost::TranslateAccelerator(const QKeyEvent& key)
{
    const WORD vk = VirtualKey(key.key());
    BYTE held = 0;
    if (key.modifiers() & Qt::ShiftModifier)
        held |= FSHIFT;
    if (key.modifiers() & Qt::ControlModifier)
        held |= FCONTROL;
    if (key.modifiers() & Qt::AltModifier)
        held |= FALT;
    const QString text = key.text();
    for (const ACCEL& accel : m_accelerators) {
        bool match;
        if (accel.fVirt & FVIRTKEY)
            match =
                vk != 0 && accel.key == vk && (accel.fVirt & (FSHIFT | FCONTROL | FALT)) == held;
        else // a character, typed without Ctrl or Alt
            match = (held & (FCONTROL | FALT)) == 0 && text.size() == 1 &&
                    text.at(0).unicode() == accel.key;
        if (!match)
            continue;
        // Notification 1: an accelerator, which runs only while enabled.
        m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(accel.cmd, 1), 0);
        return true;
    }
    return false;
}

void FrameHost::OnIdle()
{
    if (!m_frame || !m_frameWidget || !m_frameWidget->isVisible())
        return;
    CFrameWnd* frame = m_frame;
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    if (m_frame)
        m_frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
}

bool FrameHost::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_frame)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != m_frameWidget)
            return false;
        return TranslateAccelerator(*static_cast<QKeyEvent*>(event));
    }
    case QEvent::StatusTip:
        // Prompts go to the message pane, which the frame keeps itself.
        return watched == m_main;
    case QEvent::Resize:
    case QEvent::Move:
        if (watched == m_central)
            m_frame->RecalcLayout();
        return false;
    case QEvent::ChildAdded:
        // A new client window is placed once it is fully made.
        if (watched == m_frameWidget)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_frame)
                        m_frame->RecalcLayout();
                },
                Qt::QueuedConnection);
        return false;
    default:
        return false;
    }
}

FrameHost* FrameHostOf(CFrameWnd* frame)
{
    return frame ? frame->Host() : nullptr;
}

// ---- Menu items and buttons --------------------------------------------------------

void ActionCmdUI::Enable(BOOL bOn)
{
    CCmdUI::Enable(bOn);
    m_action->setEnabled(bOn != FALSE);
}

void ActionCmdUI::SetCheck(int nCheck)
{
    CCmdUI::SetCheck(nCheck);
    m_action->setCheckable(true);
    m_action->setChecked(nCheck != 0);
}

void ActionCmdUI::SetText(LPCSTR lpszText)
{
    CCmdUI::SetText(lpszText);
    if (m_takesText)
        m_action->setText(Text(lpszText));
}

CString CommandPrompt(UINT nID)
{
    const std::string_view prompt = GetStringField(AfxLoadString(nID), kCommandPrompt);
    return CString(prompt.data(), static_cast<int>(prompt.size()));
}

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
        ShowWindow(SW_SHOW);
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

// ---- Control bars ----------------------------------------------------------------------

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    return dynamic_cast<CControlBar*>(
        CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(nID))));
}

CWnd* CFrameWnd::GetMessageBar() const
{
    return GetControlBar(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar || !pBar->m_impl)
        return;
    if (QWidget* widget = pBar->m_impl->Widget())
        widget->setVisible(bShow != FALSE);
    RecalcLayout();
}

void CFrameWnd::OnBarCheck(UINT nID)
{
    if (CControlBar* bar = GetControlBar(nID))
        ShowControlBar(bar, !bar->IsVisible(), FALSE);
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && bar->IsVisible() ? 1 : 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(LockKeyOn(pCmdUI->m_nID));
}

void CFrameWnd::SetMessageText(LPCSTR lpszText)
{
    if (auto* bar = dynamic_cast<CStatusBar*>(GetMessageBar()))
        bar->SetPaneText(0, lpszText);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SetMessageText(CommandPrompt(nID));
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
