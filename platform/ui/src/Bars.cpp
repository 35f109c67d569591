// Control bars: the toolbar and the status bar of a frame, and the pictures
// they and the frame show, drawn from bitmap file images.

#include "ui/Bars.h"

#include "FrameHost.h"
#include "Hwnd.h"
#include "Pictures.h"
#include "ui/ResourceProvider.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPixmap>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>

#include <algorithm>
#include <cstring>

namespace {

// The colour of a button face: the toolbar pictures' background.
constexpr QRgb kButtonFace = 0xFFC0C0C0;

// An indicator pane is as wide as its text plus this much on either side.
constexpr int kPanePadding = 4;

} // namespace

Qt::ToolBarArea AreaOf(DWORD align)
{
    if (align & CBRS_ALIGN_TOP)
        return Qt::TopToolBarArea;
    if (align & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    if (align & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (align & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    return Qt::TopToolBarArea;
}

namespace {

Qt::ToolBarAreas AreasOf(DWORD align)
{
    Qt::ToolBarAreas areas;
    if (align & CBRS_ALIGN_TOP)
        areas |= Qt::TopToolBarArea;
    if (align & CBRS_ALIGN_BOTTOM)
        areas |= Qt::BottomToolBarArea;
    if (align & CBRS_ALIGN_LEFT)
        areas |= Qt::LeftToolBarArea;
    if (align & CBRS_ALIGN_RIGHT)
        areas |= Qt::RightToolBarArea;
    return areas;
}

// The part of a command's string after '\n': its tooltip.
QString CommandTip(UINT nID)
{
    const std::string_view tip = GetStringField(AfxLoadString(nID), kCommandTip);
    return QString::fromLatin1(tip.data(), static_cast<qsizetype>(tip.size()));
}

} // namespace

// Shows a button's prompt while the mouse rests on it and its tip when the
// bar allows tips.
class ButtonWatcher final : public QObject
{
public:
    ButtonWatcher(CToolBar* bar, QObject* parent) : QObject(parent), m_bar(bar) {}

    CToolBar* m_bar; // null once the bar object is gone

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        CFrameWnd* frame = m_bar ? m_bar->GetDockingFrame() : nullptr;
        const UINT id = watched->property("commandId").toUInt();
        switch (event->type()) {
        case QEvent::Enter:
            if (frame && (m_bar->GetBarStyle() & CBRS_FLYBY))
                frame->SetMessageText(id);
            return false;
        case QEvent::Leave:
            if (frame && (m_bar->GetBarStyle() & CBRS_FLYBY))
                frame->SetMessageText(kIdleMessage);
            return false;
        case QEvent::ToolTip:
            if (m_bar && (m_bar->GetBarStyle() & CBRS_TOOLTIPS) &&
                !static_cast<QWidget*>(watched)->toolTip().isEmpty())
                return false;
            QToolTip::hideText();
            return true;
        default:
            return false;
        }
    }
};

// ---- Control bars ------------------------------------------------------------------

QWidget* CControlBar::Impl::Widget() const
{
    if (toolBar)
        return toolBar;
    return statusBar;
}

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CControlBar::CControlBar() : m_impl(std::make_unique<Impl>()) {}

CControlBar::~CControlBar()
{
    if (FrameHost* host = FrameHostOf(m_pDockSite)) {
        auto& bars = host->bars;
        bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    }
    if (auto* watcher = dynamic_cast<ButtonWatcher*>(m_impl->watcher.data()))
        watcher->m_bar = nullptr;
    // The bar may be going from inside one of its own widget's events.
    if (QWidget* widget = m_impl->Widget()) {
        widget->disconnect();
        for (const QPointer<QAction>& action : m_impl->actions)
            if (action)
                action->disconnect();
        widget->hide();
        widget->deleteLater();
    }
}

BOOL CControlBar::CreateBar(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    auto* frame = dynamic_cast<CFrameWnd*>(pParentWnd);
    FrameHost* host = FrameHostOf(frame);
    if (!host || !host->MainWindow() || m_hWnd)
        return FALSE;
    // The bar's own window only stands for it among the frame's children:
    // it is never shown.
    const RECT none{0, 0, 0, 0};
    if (!CreateEx(0, nullptr, nullptr, WS_CHILD, none, frame, nID))
        return FALSE;
    m_dwStyle = dwStyle & CBRS_ALL;
    m_pDockSite = frame;
    host->bars.push_back(this);
    return TRUE;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (QToolBar* bar = m_impl->toolBar) {
        const DWORD allowed =
            m_dwDockStyle & (m_pDockSite ? m_pDockSite->m_dwDockStyle : CBRS_ALIGN_ANY);
        bar->setAllowedAreas(AreasOf(allowed));
        bar->setMovable(m_dwDockStyle != 0);
        bar->setFloatable(m_dwDockStyle != 0);
    }
}

BOOL CControlBar::IsVisible() const
{
    const QWidget* widget = m_impl->Widget();
    return widget && !widget->isHidden();
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (m_pDockSite && IsVisible())
        OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wParam));
    return 0;
}

// ---- Toolbar ---------------------------------------------------------------------------

CToolBar::CToolBar() = default;
CToolBar::~CToolBar() = default;

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    QMainWindow* main = FrameHostOf(m_pDockSite)->MainWindow();
    auto* bar = new QToolBar(main);
    bar->setObjectName(QStringLiteral("toolbar%1").arg(nID));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    main->addToolBar(AreaOf(m_dwStyle), bar);
    bar->setVisible((dwStyle & WS_VISIBLE) != 0);
    m_impl->toolBar = bar;
    m_impl->watcher = new ButtonWatcher(this, bar);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    QToolBar* bar = m_impl->toolBar;
    const TOOLBARTEMPLATE* layout = AfxLoadToolBar(nIDResource);
    const QImage strip = ImageFromBitmapFile(AfxLoadBitmap(nIDResource));
    if (!bar || !layout || strip.isNull() || layout->wWidth == 0)
        return FALSE;
    const int width = layout->wWidth, height = layout->wHeight;

    bar->clear();
    m_impl->actions.clear();
    m_ids.clear();
    bar->setIconSize(QSize(width, height));
    int picture = 0;
    for (const WORD id : layout->items) {
        m_ids.push_back(id);
        if (id == ID_SEPARATOR) {
            bar->addSeparator();
            m_impl->actions.emplace_back();
            continue;
        }
        // Button-face grey is the pictures' background: it lets the button
        // show through in any style.
        QImage image =
            strip.copy(picture++ * width, 0, width, height).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (row[x] == kButtonFace)
                    row[x] = 0;
        }
        const QString tip = CommandTip(id);
        QAction* action = bar->addAction(QIcon(QPixmap::fromImage(image)), tip);
        action->setToolTip(tip);
        action->setData(static_cast<UINT>(id));
        QObject::connect(action, &QAction::triggered, m_impl->watcher, [this, id] {
            if (m_pDockSite)
                m_pDockSite->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        });
        if (QWidget* button = bar->widgetForAction(action)) {
            button->setProperty("commandId", static_cast<UINT>(id));
            button->installEventFilter(m_impl->watcher);
        }
        m_impl->actions.emplace_back(action);
    }
    return TRUE;
}

int CToolBar::GetCount() const
{
    return static_cast<int>(m_ids.size());
}

UINT CToolBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_ids[static_cast<size_t>(nIndex)] : 0;
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHandler)
{
    for (size_t i = 0; i < m_ids.size(); ++i) {
        QAction* action = m_impl->actions[i];
        if (!action)
            continue;
        ActionCmdUI state(action, false);
        state.m_nID = m_ids[i];
        state.DoUpdate(pTarget, bDisableIfNoHandler);
    }
}

// ---- Status bar ------------------------------------------------------------------------

CStatusBar::CStatusBar() = default;
CStatusBar::~CStatusBar() = default;

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    QMainWindow* main = FrameHostOf(m_pDockSite)->MainWindow();
    auto* bar = new QStatusBar(main);
    main->setStatusBar(bar);
    bar->setVisible((dwStyle & WS_VISIBLE) != 0);
    m_impl->statusBar = bar;
    return TRUE;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    QStatusBar* bar = m_impl->statusBar;
    if (!bar || nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    std::vector<Pane> panes;
    for (int i = 0; i < nIDCount; ++i) {
        const UINT id = lpIDArray[i];
        const char* text = id == ID_SEPARATOR ? "" : AfxLoadString(id);
        if (!text)
            return FALSE;
        panes.push_back({id, CString(text), true});
    }
    for (const QPointer<QLabel>& label : m_impl->panes)
        delete label.data();
    m_impl->panes.clear();
    m_panes = std::move(panes);

    for (size_t i = 0; i < m_panes.size(); ++i) {
        auto* label = new QLabel(bar);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 0 && m_panes[i].id == ID_SEPARATOR) {
            bar->addWidget(label, 1);
        } else {
            // Sized to its text, so that a pane showing nothing keeps its place.
            const int textWidth = label->fontMetrics().horizontalAdvance(
                QString::fromLatin1(m_panes[i].text.GetString()));
            label->setFixedWidth(textWidth + 2 * (kPanePadding + label->frameWidth()));
            label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(label);
        }
        m_impl->panes.emplace_back(label);
    }
    if (!m_panes.empty() && m_panes[0].id == ID_SEPARATOR)
        m_panes[0].text = CommandPrompt(kIdleMessage);
    for (int i = 0; i < GetCount(); ++i)
        ShowPane(i, FALSE);
    return TRUE;
}

void CStatusBar::ShowPane(int nIndex, BOOL bUpdate)
{
    const Pane& pane = m_panes[static_cast<size_t>(nIndex)];
    QLabel* label = m_impl->panes[static_cast<size_t>(nIndex)];
    if (!label)
        return;
    const QString text = pane.enabled ? QString::fromLatin1(pane.text.GetString()) : QString();
    if (label->text() != text)
        label->setText(text);
    if (bUpdate && label->isVisible())
        label->repaint();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    m_panes[static_cast<size_t>(nIndex)].text = lpszNewText;
    ShowPane(nIndex, bUpdate);
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetCount())
        return CString();
    return m_panes[static_cast<size_t>(nIndex)].text;
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = GetPaneText(nIndex);
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetCount() ? m_panes[static_cast<size_t>(nIndex)].id : 0;
}

// A pane's state as the indicator's update handler sets it: shown or blank.
namespace {
class PaneCmdUI final : public CCmdUI
{
public:
    explicit PaneCmdUI(bool* enabled) : m_enabled(enabled) {}
    void Enable(BOOL bOn = TRUE) override
    {
        CCmdUI::Enable(bOn);
        *m_enabled = bOn != FALSE;
    }

private:
    bool* m_enabled;
};
} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    for (int i = 0; i < GetCount(); ++i) {
        Pane& pane = m_panes[static_cast<size_t>(i)];
        if (pane.id == ID_SEPARATOR)
            continue;
        const bool before = pane.enabled;
        PaneCmdUI state(&pane.enabled);
        state.m_nID = pane.id;
        // Indicators nobody updates keep showing their text.
        state.DoUpdate(pTarget, FALSE);
        if (pane.enabled != before)
            ShowPane(i, TRUE);
    }
}
