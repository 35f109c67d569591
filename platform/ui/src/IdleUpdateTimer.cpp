// The idle update timer: toolbar buttons and indicator panes follow the commands' state.

#include "IdleUpdateTimer.h"

#include "FrameHost.h"
#include "LockKeys.h"

#include <QTimer>
#include <QWidget>

namespace {

// Toolbar buttons follow the commands' state at about this pace while the
// frame is shown.
constexpr int kIdleIntervalMs = 100;

// The frame's bars first, then the frame itself; either may end the frame.
void SendIdleUpdates(FrameHost* host)
{
    CFrameWnd* frame = host->Frame();
    const QWidget* frameWidget = host->FrameWidget();
    if (!frame || !frameWidget || !frameWidget->isVisible())
        return;
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    if (host->Frame())
        host->Frame()->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
}

} // namespace

QTimer* StartIdleUpdates(FrameHost* host)
{
    // The key indicators may need what the first key event says.
    WatchLockKeys();
    auto* timer = new QTimer(host);
    QObject::connect(timer, &QTimer::timeout, host, [host] { SendIdleUpdates(host); });
    timer->start(kIdleIntervalMs);
    return timer;
}
