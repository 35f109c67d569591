#pragma once

// The user interface's own pictures: toolbar strips and icons, kept as bitmap
// file images among the resources and turned into what Qt and the dialogs show.

#include "core/Geometry.h"
#include "gdi/Surface.h"
#include "ui/ResourceTypes.h"

#include <QIcon>
#include <QImage>

#include <span>

// A bitmap file image drawn at its own size; null when it cannot be drawn.
QImage ImageFromBitmapFile(std::span<const BYTE> file);
// An icon's images with their masks applied.
QIcon IconFromImages(std::span<const ICONIMAGE> images);
// Draws the largest image of an icon at (0, 0), leaving the pixels its mask
// marks as they were.
void DrawIcon(CSurface& target, const CRect& clip, UINT id, int size);
