// Files dropped on a frame window open as File > Open would open them.
#pragma once

// Private to the window layer.

class QWidget;

// The window takes drops of local files; the first one dropped opens.
void AcceptFileDrops(QWidget* window);
