// Input at the handle level: mouse and keys as messages, activation and mouse capture.

#include "DevicePixels.h"
#include "HwndInternal.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

HWND g_capture = nullptr;
bool g_keyUnhandled = false;
HWND g_lastInactive = nullptr;

bool CaptureFilter::eventFilter(QObject* watched, QEvent* event)
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

WPARAM KeyFlags(const QSinglePointEvent& event)
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

WORD VirtualKey(int key, bool keypad)
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
    // The plus sign shares its key with '=' where it is not a key of its own.
    case Qt::Key_Plus:
        return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Minus:
        return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    default:
        return 0;
    }
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
