// Device pixels against Qt's logical ones: the rule windows are placed and painted by.
#pragma once

// Window coordinates are device pixels, so that a picture drawn one to one
// covers one screen pixel per picture pixel on a high-density screen too;
// Qt places widgets in logical pixels. The ratio is the widget's screen's
// (the primary screen's when `widget` is null). Private to the window layer.

#include "core/Geometry.h"

#include <QRect>
#include <QtGlobal>

class QWidget;

qreal PixelRatio(const QWidget* widget);
int ToDevice(const QWidget* widget, int logical);
int ToLogical(const QWidget* widget, int device);
// The device pixels that a logical rectangle touches, and back.
CRect ToDevice(const QWidget* widget, const QRect& logical);
QRect ToLogical(const QWidget* widget, const CRect& device);
// Where a rectangle given in device pixels is placed among the widgets.
QRect LogicalGeometry(const QWidget* widget, int x, int y, int cx, int cy);
