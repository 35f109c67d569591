// The look the frame's menus take from the window system.
#pragma once

// Private to the window layer.

class QStyle;

// The application's style, except that a disabled menu item can be
// highlighted, by the mouse or the arrow keys, as the window system's menus
// allow: its prompt then shows in the status bar like any other item's.
QStyle* MenuStyle();
