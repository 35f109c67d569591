// What a window handle holds, and the handle-level calls the rest of the window layer uses.
#pragma once

// Private to the window layer (and its tests).

#include "WindowWidget.h"
#include "ui/Wnd.h"

#include <memory>
#include <vector>

class QImage;
class QMouseEvent;
class QSinglePointEvent;

struct HWND__
{
    CWnd* wnd = nullptr;            // whose map the window runs; null: default processing
    std::unique_ptr<CWnd> borrowed; // what FromHandle gives when wnd is null
    WindowWidget* widget = nullptr;
    HWND parent = nullptr;      // a child's parent
    HWND owner = nullptr;       // a top-level window's owner
    std::vector<HWND> children; // bottom to top
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    CString text;
    COLORREF background = RGB(255, 255, 255);
    // Strips along the right and bottom edges that belong to the window but
    // not to its client area (scroll bars live there).
    CSize nonClient;

    // The client area's pixels: what the window painted, with its children
    // copied over them whenever a client context is taken.
    CSurface surface;
    CRect invalid;      // waits for WM_PAINT; a bounding rectangle
    bool erase = false; // the background goes first
    bool sizeReported = false;
    CSize reportedSize;
    bool inQtPaint = false;
    bool destroying = false;
};

// ---- The registry and the tree ----------------------------------------------------------

// Sets up what every window needs: the application, the capture filter and
// the palette notice. Cheap after the first call.
void InitWindowSystem();

bool IsLiveWindow(HWND hwnd);
// A new window for `owner` (which may be null) from the record; null when the
// record names no usable parent. No message is sent.
HWND CreateWindowHandle(CWnd* owner, const CREATESTRUCT& cs);
QWidget* WidgetOf(HWND hwnd);
HWND WindowOfWidget(const QWidget* widget);

// Gives the surface the widget's size and reports a new size with WM_SIZE.
void ApplyClientSize(HWND hwnd);
// Keeps strips of the given width (right edge) and height (bottom edge) out
// of the client area; the client area and its surface shrink to match.
void SetNonClientArea(HWND hwnd, int right, int bottom);

// ---- Painting ---------------------------------------------------------------------------

// Sends WM_PAINT if anything is marked for repainting.
void DispatchPaint(HWND hwnd);
// A window's client pixels as a picture that Qt draws on in logical
// coordinates; it shares the surface's memory.
QImage SurfaceImage(HWND hwnd);

// ---- Input ------------------------------------------------------------------------------

// Turns a Qt mouse event into a message for `target`; false for events that
// have no message.
bool DeliverMouse(HWND target, const QMouseEvent& event);
// The buttons and keys held, as mouse and wheel messages carry them.
WPARAM KeyFlags(const QSinglePointEvent& event);
void NotifyActivation(HWND hwnd, bool active);

// The window system's number for a Qt key, typed on the keypad or not; 0 for
// keys that have none here.
WORD VirtualKey(int key, bool keypad = false);
