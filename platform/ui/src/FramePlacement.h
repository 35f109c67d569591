// The main frame's place kept between runs.
#pragma once

// Private to the window layer.

#include "ui/Frame.h"

// Gives the frame the size and maximised state it had when the program last
// ended; nothing changes when there is no record. Called once, before the
// frame is first shown.
void RestoreFramePlacement(CFrameWnd* frame);
// The same for its bars' places, once the frame shows: a floating bar made
// before its frame is on the screen would not stay above it.
void RestoreBarPlacement(CFrameWnd* frame);
// Records them in the user's settings, beside the recent-file list.
void SaveFramePlacement(CFrameWnd* frame);
