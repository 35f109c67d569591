// The icon theme's pictures: every size, pixel art enlarged, see-through where the mask is.

#include "core/File.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"
#include "resources/Resources.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <span>

namespace {

QImage Icon(int size)
{
    const QString path = QStringLiteral(PIXMORA_ICON_DIR "/%1x%1/apps/pixmora.png").arg(size);
    return QImage(path).convertToFormat(QImage::Format_ARGB32);
}

// The icon image of `side` pixels as the viewer draws it, and its mask.
struct Drawn
{
    CSurface color;
    CSurface mask;
};

Drawn DrawResourceImage(int side)
{
    Drawn drawn;
    for (const ICONIMAGE& image : LoadIconResource(IDR_MAINFRAME)) {
        if (image.cx != side)
            continue;
        for (auto [bytes, surface] : {std::pair{image.colorBitmap, &drawn.color},
                                      std::pair{image.maskBitmap, &drawn.mask}}) {
            CMemFile file(bytes.data(), bytes.size());
            CDib dib;
            EXPECT_TRUE(dib.Read(&file));
            surface->Reset(side, side);
            CSurfaceDC dc(surface);
            EXPECT_NE(dib.Draw(&dc, 0, 0), 0);
        }
    }
    return drawn;
}

// Each pixel of the resource image is a square: see-through under the mask, its colour elsewhere.
TEST(Icons, MatchTheirSourceImageSquareBySquare)
{
    const struct
    {
        int size;
        int side;
    } cases[] = {{16, 16}, {32, 32}, {48, 16}, {256, 32}};
    for (const auto& c : cases) {
        const QImage icon = Icon(c.size);
        ASSERT_FALSE(icon.isNull()) << c.size;
        ASSERT_EQ(icon.width(), c.size);
        ASSERT_EQ(icon.height(), c.size);
        const Drawn source = DrawResourceImage(c.side);
        ASSERT_EQ(source.color.Width(), c.side);
        const int factor = c.size / c.side;
        int seeThrough = 0;
        int mismatches = 0;
        for (int y = 0; y < c.size; ++y) {
            for (int x = 0; x < c.size; ++x) {
                const QRgb pixel = icon.pixel(x, y);
                const bool clear =
                    SurfaceColor(source.mask.Row(y / factor)[x / factor]) == RGB(255, 255, 255);
                const DWORD color = source.color.Row(y / factor)[x / factor];
                seeThrough += clear;
                const bool ok =
                    clear ? qAlpha(pixel) == 0
                          : qAlpha(pixel) == 255 && (pixel & 0xFFFFFF) == (color & 0xFFFFFF);
                mismatches += !ok;
            }
        }
        EXPECT_EQ(mismatches, 0) << c.size << " pixels";
        // The art has a see-through margin; an icon without one lost its mask.
        EXPECT_GT(seeThrough, 0) << c.size;
        EXPECT_LT(seeThrough, c.size * c.size) << c.size;
    }
}

} // namespace
