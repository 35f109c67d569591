// The Qt widget of a window: painting from the surface, and Qt's events passed on as messages.

#include "WindowWidget.h"

#include "DevicePixels.h"
#include "HwndInternal.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

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
    const WORD vk = VirtualKey(event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
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
    const QPoint delta = event->angleDelta();
    if (!m_hwnd || delta.isNull()) {
        QWidget::wheelEvent(event);
        return;
    }
    const WPARAM keys = KeyFlags(*event);
    const QPointF at = event->globalPosition() * PixelRatio(this);
    const LPARAM where = MAKELPARAM(Coordinate(at.x()), Coordinate(at.y()));
    const auto rotation = [](int value) {
        return static_cast<WORD>(static_cast<short>(std::clamp(value, -32768, 32767)));
    };
    const HWND hwnd = m_hwnd;
    if (delta.y() != 0)
        SendMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keys), rotation(delta.y())),
                     where);
    // Qt counts a sideways turn to the left as positive; the message, one to
    // the right.
    if (delta.x() != 0 && IsLiveWindow(hwnd))
        SendMessageA(hwnd, WM_MOUSEHWHEEL,
                     MAKEWPARAM(static_cast<WORD>(keys), rotation(-delta.x())), where);
}

void WindowWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click already came as a press.
    event->accept();
}
