// Window handles: creation and destruction, the tree of windows, painting,
// client contexts, mouse capture and the palette notice.

#include "Window.h"

#include "ui/App.h"
#include "ui/ResourceTypes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace {

std::unordered_set<HWND>& LiveWindows()
{
    static std::unordered_set<HWND> windows;
    return windows;
}

// The client and paint contexts that are out, with their windows: a palette
// realised on one of them is that window's doing.
std::unordered_map<HDC, HWND>& WindowDCs()
{
    static std::unordered_map<HDC, HWND> dcs;
    return dcs;
}

HWND g_capture = nullptr;
// Set when a key reached the default processing: the widget then lets the
// key go on to the widgets around it (a dialog's Return and Esc).
bool g_keyUnhandled = false;
HWND g_lastInactive = nullptr;

bool IsChild(HWND hwnd)
{
    return (hwnd->style & WS_CHILD) != 0;
}

CRect ClientRect(HWND hwnd)
{
    const QWidget* w = hwnd->widget;
    return CRect(0, 0, std::max(ToDevice(w, w->width()) - hwnd->nonClient.cx, 0),
                 std::max(ToDevice(w, w->height()) - hwnd->nonClient.cy, 0));
}

// A window's own geometry in its parent's device pixels.
CRect DeviceGeometry(HWND hwnd)
{
    const QWidget* w = hwnd->widget;
    const QRect g = w->geometry();
    const int x = ToDevice(w, g.x()), y = ToDevice(w, g.y());
    return CRect(x, y, x + ToDevice(w, g.width()), y + ToDevice(w, g.height()));
}

CRect Union(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

bool Contains(const CRect& outer, const CRect& inner)
{
    return inner.IsRectEmpty() || (inner.left >= outer.left && inner.top >= outer.top &&
                                   inner.right <= outer.right && inner.bottom <= outer.bottom);
}

HDC OpenWindowDC(HWND hwnd, const CRect& clip)
{
    HDC dc = CreateSurfaceDC(&hwnd->surface);
    SetDeviceClipRect(dc, &clip);
    WindowDCs()[dc] = hwnd;
    return dc;
}

BOOL CloseWindowDC(HWND hwnd, HDC dc)
{
    auto it = WindowDCs().find(dc);
    if (it == WindowDCs().end() || it->second != hwnd)
        return FALSE;
    WindowDCs().erase(it);
    return DeleteDC(dc);
}

// The part of the client area not cut off by an ancestor; empty when the
// window is not shown. Windows stacked above it are not subtracted.
CRect VisibleClientRect(HWND hwnd)
{
    QWidget* widget = hwnd->widget;
    if (!widget->isVisible())
        return CRect();
    QRect visible = widget->rect();
    QPoint offset(0, 0); // the window's origin in the ancestor's coordinates
    for (QWidget* w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        visible &= w->parentWidget()->rect().translated(-offset);
    }
    if (visible.isEmpty())
        return CRect();
    CRect client = ClientRect(hwnd);
    client.IntersectRect(client, ToDevice(widget, visible));
    return client;
}

bool g_composing = false;

// Copies what the children show over the window's own pixels, so that a
// client context reads the client area as the screen shows it. A child of
// ours is copied from its surface, after its own children went over it; any
// other widget is asked to draw itself.
void ComposeChildren(HWND hwnd)
{
    const CRect client(0, 0, hwnd->surface.Width(), hwnd->surface.Height());
    for (QObject* object : hwnd->widget->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child->isHidden())
            continue;
        // Children outside the client area (scroll bars) show nothing in it.
        CRect area = ToDevice(child, child->geometry());
        if (!area.IntersectRect(area, client))
            continue;
        auto* ours = dynamic_cast<WindowWidget*>(child);
        if (ours && ours->m_hwnd) {
            HWND c = ours->m_hwnd;
            ComposeChildren(c);
            const CRect placed = DeviceGeometry(c);
            area = CRect(placed.left, placed.top, placed.left + c->surface.Width(),
                         placed.top + c->surface.Height());
            if (!area.IntersectRect(area, client))
                continue;
            for (LONG y = area.top; y < area.bottom; ++y)
                std::memcpy(hwnd->surface.Row(y) + area.left,
                            c->surface.Row(y - placed.top) + (area.left - placed.left),
                            static_cast<size_t>(area.Width()) * sizeof(DWORD));
        } else {
            QImage image = SurfaceImage(hwnd);
            QPainter painter(&image);
            painter.setClipRect(child->geometry());
            g_composing = true;
            child->render(&painter, child->pos());
            g_composing = false;
        }
    }
}

void FreeWindow(HWND hwnd);

// WM_DESTROY goes to a window before its children.
void SendDestroy(HWND hwnd)
{
    hwnd->destroying = true;
    if (g_capture == hwnd)
        ReleaseCapture();
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = hwnd->children;
    for (HWND child : children)
        if (IsLiveWindow(child))
            SendDestroy(child);
}

// WM_NCDESTROY goes to the children first; then the handle is gone.
void SendNcDestroy(HWND hwnd)
{
    const std::vector<HWND> children = hwnd->children;
    for (HWND child : children)
        if (IsLiveWindow(child))
            SendNcDestroy(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    FreeWindow(hwnd);
}

void FreeWindow(HWND hwnd)
{
    if (hwnd->parent) {
        auto& siblings = hwnd->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    }
    for (auto it = WindowDCs().begin(); it != WindowDCs().end();) {
        if (it->second == hwnd) {
            DeleteDC(it->first);
            it = WindowDCs().erase(it);
        } else {
            ++it;
        }
    }
    LiveWindows().erase(hwnd);
    if (g_capture == hwnd)
        g_capture = nullptr;
    if (g_lastInactive == hwnd)
        g_lastInactive = nullptr;
    if (hwnd->wnd && hwnd->wnd->m_hWnd == hwnd)
        hwnd->wnd->m_hWnd = nullptr;
    if (hwnd->borrowed)
        hwnd->borrowed->m_hWnd = nullptr;
    // The widget may be inside one of its own event handlers: it goes once
    // control is back in the event loop.
    hwnd->widget->m_hwnd = nullptr;
    hwnd->widget->hide();
    hwnd->widget->deleteLater();
    delete hwnd;
}

// Mouse input goes to the capturing window wherever it happens.
class CaptureFilter final : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            break;
        default:
            return false;
        }
        if (!g_capture || !watched->isWidgetType())
            return false;
        if (event->type() != QEvent::MouseButtonDblClick)
            DeliverMouse(g_capture, *static_cast<QMouseEvent*>(event));
        return true;
    }
};

// A foreground realisation on a window's context changed the system
// palette: every top-level window hears of it, naming that window.
void PaletteRealized(HDC hdc, UINT)
{
    auto it = WindowDCs().find(hdc);
    if (it == WindowDCs().end())
        return;
    const HWND source = it->second;
    std::vector<HWND> topLevel;
    for (HWND hwnd : LiveWindows())
        if (!IsChild(hwnd) && !hwnd->destroying)
            topLevel.push_back(hwnd);
    for (HWND hwnd : topLevel)
        if (IsLiveWindow(hwnd))
            SendMessageA(hwnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(source), 0);
}

WPARAM KeyFlags(const QMouseEvent& event)
{
    WPARAM flags = 0;
    if (event.buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event.buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event.buttons() & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

WORD Coordinate(qreal value)
{
    return static_cast<WORD>(static_cast<int>(std::clamp<qreal>(std::floor(value), -32768, 32767)));
}

} // namespace

// ---- The window system ------------------------------------------------------------

void InitWindowSystem()
{
    static bool ready = false;
    if (ready)
        return;
    EnsureApplication();
    // Windows end when the program destroys them, and the program ends when
    // it says so, not when Qt sees the last window go.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(new CaptureFilter);
    SetPaletteRealizedHook(&PaletteRealized);
    ready = true;
}

bool IsLiveWindow(HWND hwnd)
{
    return hwnd && LiveWindows().count(hwnd) != 0;
}

QWidget* WidgetOf(HWND hwnd)
{
    return IsLiveWindow(hwnd) ? hwnd->widget : nullptr;
}

HWND WindowOfWidget(const QWidget* widget)
{
    auto* ours = dynamic_cast<const WindowWidget*>(widget);
    return ours ? ours->m_hwnd : nullptr;
}

HWND CreateWindowHandle(CWnd* owner, const CREATESTRUCT& cs)
{
    InitWindowSystem();
    const DWORD style = static_cast<DWORD>(cs.style);
    const bool child = (style & WS_CHILD) != 0;
    if (cs.hwndParent ? !IsLiveWindow(cs.hwndParent) : child)
        return nullptr;

    auto* hwnd = new HWND__;
    hwnd->style = style & ~WS_VISIBLE;
    hwnd->exStyle = cs.dwExStyle;
    hwnd->text = cs.lpszName;
    if (child) {
        hwnd->parent = cs.hwndParent;
        hwnd->id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(cs.hMenu));
        hwnd->widget = new WindowWidget(hwnd, cs.hwndParent->widget, Qt::Widget);
        // Shown only by WS_VISIBLE or ShowWindow, not along with the parent.
        hwnd->widget->hide();
        hwnd->widget->setGeometry(LogicalGeometry(hwnd->widget, cs.x, cs.y, cs.cx, cs.cy));
        cs.hwndParent->children.push_back(hwnd);
    } else {
        hwnd->owner = cs.hwndParent;
        QWidget* ownerWidget = cs.hwndParent ? cs.hwndParent->widget : nullptr;
        hwnd->widget = new WindowWidget(hwnd, ownerWidget, Qt::Window);
        QWidget* w = hwnd->widget;
        if (cs.x != CW_USEDEFAULT)
            w->move(ToLogical(w, cs.x), ToLogical(w, cs.y));
        if (cs.cx != CW_USEDEFAULT)
            w->resize(ToLogical(w, std::max(cs.cx, 0)), ToLogical(w, std::max(cs.cy, 0)));
        hwnd->widget->setWindowTitle(QString::fromLatin1(hwnd->text.GetString()));
    }
    const CRect client = ClientRect(hwnd);
    hwnd->surface.Reset(client.Width(), client.Height(), hwnd->background);
    LiveWindows().insert(hwnd);
    hwnd->wnd = owner;
    if (owner)
        owner->m_hWnd = hwnd;
    return hwnd;
}

void ApplyClientSize(HWND hwnd)
{
    const CRect client = ClientRect(hwnd);
    const QSize size(client.Width(), client.Height());
    if (hwnd->surface.Width() != size.width() || hwnd->surface.Height() != size.height()) {
        // The old picture is not kept: the whole area is painted again.
        hwnd->surface.Reset(size.width(), size.height(), hwnd->background);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    const CSize reported(size.width(), size.height());
    if (hwnd->sizeReported && hwnd->reportedSize == reported)
        return;
    hwnd->sizeReported = true;
    hwnd->reportedSize = reported;
    const UINT type = hwnd->widget->isMinimized()   ? SIZE_MINIMIZED
                      : hwnd->widget->isMaximized() ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
    SendMessageA(hwnd, WM_SIZE, type,
                 MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
}

void DispatchPaint(HWND hwnd)
{
    if (!hwnd->invalid.IsRectEmpty())
        SendMessageA(hwnd, WM_PAINT, 0, 0);
}

bool DeliverMouse(HWND target, const QMouseEvent& event)
{
    UINT message = 0;
    switch (event.type()) {
    case QEvent::MouseMove:
        message = WM_MOUSEMOVE;
        break;
    case QEvent::MouseButtonPress:
        message = WM_LBUTTONDOWN;
        break;
    case QEvent::MouseButtonRelease:
        message = WM_LBUTTONUP;
        break;
    default:
        return false;
    }
    if (message != WM_MOUSEMOVE && event.button() != Qt::LeftButton)
        return false;
    const qreal ratio = PixelRatio(target->widget);
    const QPointF at = target->widget->mapFromGlobal(event.globalPosition()) * ratio;
    SendMessageA(target, message, KeyFlags(event),
                 MAKELPARAM(Coordinate(at.x()), Coordinate(at.y())));
    return true;
}

void NotifyActivation(HWND hwnd, bool active)
{
    const BOOL minimized = hwnd->widget->isMinimized();
    if (!active) {
        g_lastInactive = hwnd;
        HWND other = WindowOfWidget(QApplication::activeWindow());
        SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, static_cast<WORD>(minimized)),
                     reinterpret_cast<LPARAM>(other));
        return;
    }
    HWND other = g_lastInactive != hwnd ? g_lastInactive : nullptr;
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, static_cast<WORD>(minimized)),
                 reinterpret_cast<LPARAM>(other));
    // The window that takes the foreground gets to realise its palette.
    if (IsLiveWindow(hwnd))
        SendMessageA(hwnd, WM_QUERYNEWPALETTE, 0, 0);
}

void SetNonClientArea(HWND hwnd, int right, int bottom)
{
    if (!IsLiveWindow(hwnd))
        return;
    const CSize strips(std::max(right, 0), std::max(bottom, 0));
    if (hwnd->nonClient == strips)
        return;
    hwnd->nonClient = strips;
    hwnd->widget->update();
    ApplyClientSize(hwnd);
}

WORD VirtualKey(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<WORD>(key); // the same ASCII codes
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<WORD>(0x70 + (key - Qt::Key_F1));
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
        return 0x09;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 0x0D;
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Space:
        return 0x20;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

qreal PixelRatio(const QWidget* widget)
{
    if (widget)
        return widget->devicePixelRatioF();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

int ToDevice(const QWidget* widget, int logical)
{
    return static_cast<int>(std::lround(logical * PixelRatio(widget)));
}

int ToLogical(const QWidget* widget, int device)
{
    return static_cast<int>(std::lround(device / PixelRatio(widget)));
}

CRect ToDevice(const QWidget* widget, const QRect& logical)
{
    const qreal r = PixelRatio(widget);
    return CRect(static_cast<LONG>(std::floor(logical.left() * r)),
                 static_cast<LONG>(std::floor(logical.top() * r)),
                 static_cast<LONG>(std::ceil((logical.left() + logical.width()) * r)),
                 static_cast<LONG>(std::ceil((logical.top() + logical.height()) * r)));
}

QRect ToLogical(const QWidget* widget, const CRect& device)
{
    const qreal r = PixelRatio(widget);
    const int left = static_cast<int>(std::floor(device.left / r));
    const int top = static_cast<int>(std::floor(device.top / r));
    return QRect(left, top, static_cast<int>(std::ceil(device.right / r)) - left,
                 static_cast<int>(std::ceil(device.bottom / r)) - top);
}

QRect LogicalGeometry(const QWidget* widget, int x, int y, int cx, int cy)
{
    return QRect(ToLogical(widget, x), ToLogical(widget, y), ToLogical(widget, std::max(cx, 0)),
                 ToLogical(widget, std::max(cy, 0)));
}

QImage SurfaceImage(HWND hwnd)
{
    CSurface& surface = hwnd->surface;
    QImage image(reinterpret_cast<uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                 static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(PixelRatio(hwnd->widget));
    return image;
}

// ---- Window calls ---------------------------------------------------------------------

BOOL IsWindow(HWND hWnd)
{
    return IsLiveWindow(hWnd);
}

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsLiveWindow(hWnd))
        return 0;
    if (hWnd->wnd)
        return hWnd->wnd->WindowProc(message, wParam, lParam);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsLiveWindow(hWnd))
        return 0;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT box;
        if (GetClipBox(dc, &box)) {
            const HBRUSH brush = CreateSolidBrush(hWnd->background);
            FillRect(dc, &box, brush);
            DeleteObject(brush);
        }
        return 1;
    }
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_KEYDOWN:
        g_keyUnhandled = true;
        return 0;
    case WM_MOUSEWHEEL:
        // A window that does not scroll lets the one around it try.
        return IsChild(hWnd) ? SendMessageA(hWnd->parent, message, wParam, lParam) : 0;
    case WM_SETTEXT:
        hWnd->text = reinterpret_cast<LPCSTR>(lParam);
        if (!IsChild(hWnd))
            hWnd->widget->setWindowTitle(QString::fromLatin1(hWnd->text.GetString()));
        return TRUE;
    case WM_GETTEXT: {
        const int capacity = static_cast<int>(wParam);
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (capacity <= 0 || !buffer)
            return 0;
        const int n = std::min(hWnd->text.GetLength(), capacity - 1);
        std::memcpy(buffer, hWnd->text.GetString(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    case WM_GETTEXTLENGTH:
        return hWnd->text.GetLength();
    default:
        return 0;
    }
}

BOOL DestroyWindow(HWND hWnd)
{
    if (!IsLiveWindow(hWnd) || hWnd->destroying)
        return FALSE;
    // Windows shown in the parent leave a hole that the parent paints over.
    if (IsChild(hWnd) && hWnd->widget->isVisible()) {
        const CRect area = DeviceGeometry(hWnd);
        InvalidateRect(hWnd->parent, &area, TRUE);
    }
    SendDestroy(hWnd);
    if (IsLiveWindow(hWnd))
        SendNcDestroy(hWnd);
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    if (!IsWindow(hWnd))
        return FALSE;
    QWidget* widget = hWnd->widget;
    const BOOL wasVisible = !widget->isHidden();
    if (nCmdShow == SW_HIDE) {
        if (wasVisible && IsChild(hWnd) && widget->isVisible()) {
            const CRect area = DeviceGeometry(hWnd);
            InvalidateRect(hWnd->parent, &area, TRUE);
        }
        widget->hide();
        hWnd->style &= ~WS_VISIBLE;
        return wasVisible;
    }
    hWnd->style |= WS_VISIBLE;
    widget->setAttribute(Qt::WA_ShowWithoutActivating,
                         nCmdShow == SW_SHOWNA || nCmdShow == SW_SHOWNOACTIVATE);
    switch (nCmdShow) {
    case SW_SHOWMAXIMIZED:
        widget->showMaximized();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        widget->showMinimized();
        break;
    case SW_RESTORE:
        widget->showNormal();
        break;
    default:
        widget->show();
        break;
    }
    ApplyClientSize(hWnd);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd)
{
    return IsWindow(hWnd) && hWnd->widget->isVisible();
}

HWND GetParent(HWND hWnd)
{
    if (!IsLiveWindow(hWnd))
        return nullptr;
    return IsChild(hWnd) ? hWnd->parent : hWnd->owner;
}

HWND GetDlgItem(HWND hDlg, int nID)
{
    if (!IsLiveWindow(hDlg))
        return nullptr;
    for (HWND child : hDlg->children)
        if (child->id == static_cast<UINT>(nID))
            return child;
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    return IsLiveWindow(hWnd) ? static_cast<int>(hWnd->id) : 0;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    if (!IsLiveWindow(hWnd) || !lpRect)
        return FALSE;
    *lpRect = ClientRect(hWnd);
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (!IsWindow(hWnd))
        return FALSE;
    QWidget* widget = hWnd->widget;
    const CRect before = DeviceGeometry(hWnd);
    widget->setGeometry(LogicalGeometry(widget, x, y, nWidth, nHeight));
    if (bRepaint && IsChild(hWnd) && widget->isVisible())
        InvalidateRect(hWnd->parent, &before, TRUE);
    ApplyClientSize(hWnd);
    return TRUE;
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    return static_cast<BOOL>(
        SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT,
                                         static_cast<WPARAM>(std::max(nMaxCount, 0)),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND GetActiveWindow()
{
    return QApplication::instance() ? WindowOfWidget(QApplication::activeWindow()) : nullptr;
}

void SetWindowBackground(HWND hWnd, COLORREF color)
{
    if (IsLiveWindow(hWnd))
        hWnd->background = color;
}

// ---- Painting ------------------------------------------------------------------------

BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    CRect area = ClientRect(hWnd);
    if (lpRect)
        area.IntersectRect(area, *lpRect);
    if (area.IsRectEmpty())
        return TRUE;
    hWnd->invalid = Union(hWnd->invalid, area);
    hWnd->erase = hWnd->erase || bErase;
    hWnd->widget->update(ToLogical(hWnd->widget, area));
    return TRUE;
}

BOOL ScrollWindow(HWND hWnd, int dx, int dy)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    const CRect client = ClientRect(hWnd);
    CSurface& surface = hWnd->surface;
    // Children would have to move too, and a shift of a whole size or more
    // keeps nothing: both repaint everything.
    if (!hWnd->children.empty() || std::abs(LONGLONG{dx}) >= client.Width() ||
        std::abs(LONGLONG{dy}) >= client.Height() || surface.Width() != client.Width() ||
        surface.Height() != client.Height())
        return InvalidateRect(hWnd, nullptr, TRUE);
    if (dx == 0 && dy == 0)
        return TRUE;

    // Move what stays visible, rows in the order that never overwrites a row
    // before it has been copied.
    const int w = client.Width(), h = client.Height();
    const int width = w - std::abs(dx);
    const int fromX = std::max(0, -dx), toX = std::max(0, dx);
    auto copyRow = [&](int y) {
        std::memmove(surface.Row(y + dy) + toX, surface.Row(y) + fromX, width * sizeof(DWORD));
    };
    if (dy > 0) {
        for (int y = h - 1 - dy; y >= 0; --y)
            copyRow(y);
    } else {
        for (int y = -dy; y < h; ++y)
            copyRow(y);
    }

    // What was waiting to be painted moves with the picture; the strips
    // uncovered by the move are painted afresh.
    if (!hWnd->invalid.IsRectEmpty()) {
        hWnd->invalid.OffsetRect(dx, dy);
        hWnd->invalid.IntersectRect(hWnd->invalid, client);
    }
    if (dx != 0) {
        const CRect strip = dx > 0 ? CRect(0, 0, dx, h) : CRect(w + dx, 0, w, h);
        InvalidateRect(hWnd, &strip, TRUE);
    }
    if (dy != 0) {
        const CRect strip = dy > 0 ? CRect(0, 0, w, dy) : CRect(0, h + dy, w, h);
        InvalidateRect(hWnd, &strip, TRUE);
    }
    hWnd->widget->update(); // the moved pixels reach the screen too
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, LPCRECT lpRect)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    // The marked area is one rectangle: only covering all of it validates.
    if (!lpRect ||
        Contains(CRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom), hWnd->invalid)) {
        hWnd->invalid.SetRectEmpty();
        hWnd->erase = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return FALSE;
    if (hWnd->widget->isVisible() && !hWnd->invalid.IsRectEmpty()) {
        const CRect area = hWnd->invalid;
        DispatchPaint(hWnd);
        hWnd->widget->update(ToLogical(hWnd->widget, area));
    }
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint)
{
    if (!IsLiveWindow(hWnd) || !lpPaint)
        return nullptr;
    CRect area;
    area.IntersectRect(hWnd->invalid, ClientRect(hWnd));
    const bool erase = hWnd->erase;
    hWnd->invalid.SetRectEmpty();
    hWnd->erase = false;

    const HDC dc = OpenWindowDC(hWnd, area);
    lpPaint->hdc = dc;
    lpPaint->rcPaint = area;
    lpPaint->fErase = FALSE;
    if (erase && !area.IsRectEmpty())
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!IsLiveWindow(hWnd) || !lpPaint || !CloseWindowDC(hWnd, lpPaint->hdc))
        return FALSE;
    // Inside Qt's own paint the screen copy follows anyway.
    if (!hWnd->inQtPaint)
        hWnd->widget->update(ToLogical(hWnd->widget, CRect(lpPaint->rcPaint)));
    return TRUE;
}

HDC GetDC(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return nullptr;
    ComposeChildren(hWnd);
    return OpenWindowDC(hWnd, VisibleClientRect(hWnd));
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    if (!IsLiveWindow(hWnd) || !CloseWindowDC(hWnd, hDC))
        return 0;
    // Whatever was drawn reaches the screen at the next paint.
    hWnd->widget->update();
    return 1;
}

// ---- Mouse capture ------------------------------------------------------------------------

HWND SetCapture(HWND hWnd)
{
    const HWND previous = g_capture;
    if (!IsWindow(hWnd) || hWnd->destroying || previous == hWnd)
        return previous;
    g_capture = hWnd;
    // The platform's grab brings the mouse to us outside our windows too.
    if (hWnd->widget->isVisible())
        hWnd->widget->grabMouse();
    if (IsLiveWindow(previous))
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

BOOL ReleaseCapture()
{
    const HWND previous = g_capture;
    if (!previous)
        return TRUE;
    g_capture = nullptr;
    if (QWidget::mouseGrabber() == previous->widget)
        previous->widget->releaseMouse();
    SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    return g_capture;
}

// ---- The widget ------------------------------------------------------------------------------

WindowWidget::WindowWidget(HWND hwnd, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_hwnd(hwnd)
{
    // Every pixel comes from the surface: Qt need not clear anything first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

bool WindowWidget::event(QEvent* event)
{
    if (m_hwnd && isWindow()) {
        if (event->type() == QEvent::WindowActivate)
            NotifyActivation(m_hwnd, true);
        else if (event->type() == QEvent::WindowDeactivate)
            NotifyActivation(m_hwnd, false);
    }
    return QWidget::event(event);
}

void WindowWidget::paintEvent(QPaintEvent* event)
{
    const HWND hwnd = m_hwnd;
    if (!hwnd)
        return;
    if (!g_composing && !hwnd->invalid.IsRectEmpty()) {
        const CRect painted = hwnd->invalid;
        hwnd->inQtPaint = true;
        DispatchPaint(hwnd);
        if (!IsLiveWindow(hwnd))
            return;
        hwnd->inQtPaint = false;
        const QRect logical = ToLogical(this, painted);
        if (!event->rect().contains(logical))
            update(logical);
    }
    QPainter painter(this);
    const CRect client(0, 0, hwnd->surface.Width(), hwnd->surface.Height());
    // What lies outside the client area and under no child (the corner
    // between two scroll bars) takes the toolkit's plain background.
    const QRect covered(0, 0, static_cast<int>(client.Width() / PixelRatio(this)),
                        static_cast<int>(client.Height() / PixelRatio(this)));
    for (const QRect& rest : QRegion(event->rect()).subtracted(covered))
        painter.fillRect(rest, palette().window());
    CRect area = ToDevice(this, event->rect());
    if (!area.IntersectRect(area, client))
        return;
    // Source and target name the same device pixels: the copy is one to one.
    const QImage image = SurfaceImage(hwnd);
    const QRectF source(area.left, area.top, area.Width(), area.Height());
    const qreal ratio = image.devicePixelRatio();
    painter.drawImage(QRectF(source.topLeft() / ratio, source.size() / ratio), image, source);
}

void WindowWidget::resizeEvent(QResizeEvent*)
{
    if (m_hwnd)
        ApplyClientSize(m_hwnd);
}

void WindowWidget::showEvent(QShowEvent*)
{
    if (m_hwnd)
        InvalidateRect(m_hwnd, nullptr, TRUE);
}

void WindowWidget::closeEvent(QCloseEvent* event)
{
    // Closing is the program's decision: WM_CLOSE destroys the window by
    // default, and a handler may refuse.
    event->ignore();
    if (m_hwnd)
        SendMessageA(m_hwnd, WM_CLOSE, 0, 0);
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_hwnd || !DeliverMouse(m_hwnd, *event))
        QWidget::mouseMoveEvent(event);
}

void WindowWidget::mousePressEvent(QMouseEvent* event)
{
    if (!m_hwnd || !DeliverMouse(m_hwnd, *event))
        QWidget::mousePressEvent(event);
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_hwnd || !DeliverMouse(m_hwnd, *event))
        QWidget::mouseReleaseEvent(event);
}

void WindowWidget::keyPressEvent(QKeyEvent* event)
{
    // Only the window with the focus sees keys; the frame's accelerators
    // have had their turn before this.
    const WORD vk = VirtualKey(event->key());
    if (!m_hwnd || vk == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const WORD repeat = 1;
    const bool outer = g_keyUnhandled;
    g_keyUnhandled = false;
    SendMessageA(m_hwnd, WM_KEYDOWN, vk, MAKELPARAM(repeat, 0));
    if (g_keyUnhandled)
        event->ignore();
    g_keyUnhandled = outer;
}

void WindowWidget::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (!m_hwnd || delta == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    WPARAM keys = 0;
    if (event->buttons() & Qt::LeftButton)
        keys |= MK_LBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        keys |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        keys |= MK_CONTROL;
    const QPointF at = event->globalPosition() * PixelRatio(this);
    const auto rotation = static_cast<WORD>(static_cast<short>(std::clamp(delta, -32768, 32767)));
    SendMessageA(m_hwnd, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keys), rotation),
                 MAKELPARAM(Coordinate(at.x()), Coordinate(at.y())));
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click already came as a press.
    event->accept();
}
