// The toolbar: buttons from a toolbar resource with their pictures, tips, prompts and states.

#include "FrameHost.h"
#include "Pictures.h"
#include "ToolkitText.h"
#include "WrappingToolBar.h"
#include "ui/Bars.h"
#include "ui/ResourceProvider.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QPixmap>
#include <QToolBar>
#include <QToolTip>

namespace {

// The colour of a button face: the toolbar pictures' background.
constexpr QRgb kButtonFace = 0xFFC0C0C0;

// The part of a command's string after '\n': its tooltip.
QString CommandTip(UINT nID)
{
    const std::string_view tip = GetStringField(AfxLoadString(nID), kCommandTip);
    return ToolkitText(tip);
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

CToolBar::CToolBar() = default;

// The buttons' watcher goes with the bar's widget, after this object.
CToolBar::~CToolBar()
{
    if (auto* watcher = dynamic_cast<ButtonWatcher*>(m_impl->watcher.data()))
        watcher->m_bar = nullptr;
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (!CreateBar(pParentWnd, dwStyle, nID))
        return FALSE;
    QMainWindow* main = FrameHostOf(m_pDockSite)->MainWindow();
    auto* bar = new WrappingToolBar(main);
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
