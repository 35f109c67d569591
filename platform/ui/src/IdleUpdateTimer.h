// The idle update timer: while a frame shows, its bars and the frame hear WM_IDLEUPDATECMDUI.
#pragma once

// Private to the window layer.

class FrameHost;
class QTimer;

// A timer owned by the host that keeps its frame's command states shown; the
// host stops it when the frame lets go.
QTimer* StartIdleUpdates(FrameHost* host);
