// The dialog templates: what the About box shows and how the palette dialog takes the mouse.

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DialogTemplates, AboutBoxShowsTheIconAndTheVersionBlocksNotice)
{
    const DLGTEMPLATE* about = LoadDialogResource(IDD_ABOUTBOX);
    const VERSIONINFO* version = LoadVersionResource(VS_VERSION_INFO);
    ASSERT_NE(about, nullptr);
    ASSERT_NE(version, nullptr);
    ASSERT_EQ(about->items.size(), 4u);
    EXPECT_EQ(ResourceOrdinal(about->items[0].text), IDR_MAINFRAME);
    EXPECT_EQ(about->items[0].style & SS_ICON, SS_ICON);
    EXPECT_EQ(std::string(version->strings[4].key), "LegalCopyright");
    EXPECT_STREQ(about->items[2].text, version->strings[4].value);
    EXPECT_EQ(about->items[3].id, IDOK);
}

TEST(DialogTemplates, PaletteFrameLetsMouseMovementReachTheDialog)
{
    const DLGTEMPLATE* dialog = LoadDialogResource(IDD_PALETTE);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(dialog->items[0].id, IDOK);
    EXPECT_EQ(dialog->items[1].id, IDC_PALETTE_SWATCH);
    EXPECT_EQ(dialog->items[1].style & SS_NOTIFY, 0u);
    EXPECT_EQ(dialog->style & WS_CLIPCHILDREN, 0u);
}

} // namespace
