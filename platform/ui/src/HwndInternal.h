// What the handle-level files share among themselves: registry, contexts, capture and key state.
#pragma once

// Private to Hwnd*.cpp and WindowWidget.cpp.

#include "Hwnd.h"

#include <QObject>

#include <unordered_map>
#include <unordered_set>

// ---- The registry and the tree ----------------------------------------------------------

std::unordered_set<HWND>& LiveWindows();
bool IsChild(HWND hwnd);
CRect ClientRect(HWND hwnd);
CRect DeviceGeometry(HWND hwnd);

// ---- Painting ---------------------------------------------------------------------------

std::unordered_map<HDC, HWND>& WindowDCs();
// Set while a widget that is not a window's draws itself into a surface.
extern bool g_composing;
void PaletteRealized(HDC hdc, UINT);

// ---- Input ------------------------------------------------------------------------------

extern HWND g_capture;
// Set when a key reached the default processing: the widget then lets the
// key go on to the widgets around it (a dialog's Return and Esc).
extern bool g_keyUnhandled;
extern HWND g_lastInactive;

// Mouse input goes to the capturing window wherever it happens.
class CaptureFilter final : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// A message's coordinate: the pixel a position falls in, kept to 16 bits.
WORD Coordinate(qreal value);
