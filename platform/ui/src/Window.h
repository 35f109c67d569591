#pragma once

// What a window handle holds, and the Qt widget that shows it. Private to the
// window layer (and its tests).

#include "ui/Wnd.h"

#include <QWidget>

#include <memory>
#include <vector>

class QImage;
class QMouseEvent;
class WindowWidget;

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

// The widget of a window: it copies the surface to the screen and turns Qt's
// events into messages.
class WindowWidget final : public QWidget
{
public:
    WindowWidget(HWND hwnd, QWidget* parent, Qt::WindowFlags flags);

    HWND m_hwnd; // null once the window is destroyed

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

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
// Sends WM_PAINT if anything is marked for repainting.
void DispatchPaint(HWND hwnd);
// Turns a Qt mouse event into a message for `target`; false for events that
// have no message.
bool DeliverMouse(HWND target, const QMouseEvent& event);
void NotifyActivation(HWND hwnd, bool active);

// Keeps strips of the given width (right edge) and height (bottom edge) out
// of the client area; the client area and its surface shrink to match.
void SetNonClientArea(HWND hwnd, int right, int bottom);

// The window system's number for a Qt key; 0 for keys that have none here.
WORD VirtualKey(int key);

// Window coordinates are device pixels, so that a picture drawn one to one
// covers one screen pixel per picture pixel on a high-density screen too;
// Qt places widgets in logical pixels. The ratio is the widget's screen's
// (the primary screen's when `widget` is null).
qreal PixelRatio(const QWidget* widget);
int ToDevice(const QWidget* widget, int logical);
int ToLogical(const QWidget* widget, int device);
// The device pixels that a logical rectangle touches, and back.
CRect ToDevice(const QWidget* widget, const QRect& logical);
QRect ToLogical(const QWidget* widget, const CRect& device);
// Where a rectangle given in device pixels is placed among the widgets.
QRect LogicalGeometry(const QWidget* widget, int x, int y, int cx, int cy);
// A window's client pixels as a picture that Qt draws on in logical
// coordinates; it shares the surface's memory.
QImage SurfaceImage(HWND hwnd);
