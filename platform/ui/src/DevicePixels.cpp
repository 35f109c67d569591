// Device pixels against Qt's logical ones: the screen's ratio and the conversions both ways.

#include "DevicePixels.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

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
