// The frame's Qt main window: menus and their commands, accelerators, and the states items show.

#include "FrameHost.h"

#include "Hwnd.h"
#include "IdleUpdateTimer.h"
#include "MenuStyle.h"
#include "ToolkitText.h"
#include "ui/ResourceProvider.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Commands from this number up belong to the system menu.
constexpr UINT kFirstSystemCommand = 0xF000;

} // namespace

// ---- The host ---------------------------------------------------------------------

FrameHost::FrameHost(CFrameWnd* frame, QWidget* frameWidget)
    : m_frame(frame), m_frameWidget(frameWidget), m_idleTimer(StartIdleUpdates(this))
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
            auto* sub = new QMenu(ToolkitText(item.mtString), menu);
            sub->setStyle(MenuStyle());
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
        QAction* action = popup->addAction(ToolkitText(item.mtString));
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
    const WORD vk = VirtualKey(key.key(), key.modifiers().testFlag(Qt::KeypadModifier));
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
        m_action->setText(ToolkitText(lpszText));
}

CString CommandPrompt(UINT nID)
{
    const std::string_view prompt = GetStringField(AfxLoadString(nID), kCommandPrompt);
    return CString(prompt.data(), static_cast<int>(prompt.size()));
}
