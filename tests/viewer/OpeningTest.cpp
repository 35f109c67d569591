// Opening pictures and drawing them: the palette a drawing leaves behind, a new
// picture after zoom and scroll, the open path's failures and conveniences.

#include "PaletteRecord.h"
#include "ViewerFixture.h"

#include <gtest/gtest.h>

namespace {

using viewertest::Viewer;

// The view's drawing reached as any caller of it would.
struct DrawAccess : CPixmoraView
{
    static void Draw(CPixmoraView* view, CDC* dc)
    {
        void (CPixmoraView::*draw)(CDC*) = &DrawAccess::OnDraw;
        (view->*draw)(dc);
    }
};

// Drawing selects the document's palette and puts the caller's back as the
// caller had it, in the foreground: realising it afterwards maps its colours.
TEST_F(Viewer, DrawingPutsTheCallersPaletteBackInTheForeground)
{
    ASSERT_TRUE(Start({CString(PIXMORA_SAMPLES_DIR "/sample.bmp")}));
    HPALETTE own = MakePalette(3, [](int i) {
        return PALETTEENTRY{static_cast<BYTE>(61 + i), 7, 149, 0};
    });
    CSurface surface(4, 4);
    HDC dc = CreateSurfaceDC(&surface);
    HPALETTE previous = SelectPalette(dc, own, FALSE);
    DrawAccess::Draw(View(), CDC::FromHandle(dc));
    EXPECT_EQ(RealizePalette(dc), 3u);
    SelectPalette(dc, previous, FALSE);
    DeleteDC(dc);
    DeleteObject(own);
}

} // namespace
