// The dialog templates: controls, sizes and the version block.

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Control
{
    const char* windowClass;
    std::string text;
    int id;
    DWORD style;
    short x, y, cx, cy;
};

struct Dialog
{
    UINT id;
    DWORD style;
    const char* caption;
    short cx, cy;
    std::vector<Control> controls;
};

void ExpectDialog(const Dialog& expected)
{
    SCOPED_TRACE(expected.id);
    const DLGTEMPLATE* dialog = LoadDialogResource(expected.id);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->style, expected.style);
    EXPECT_EQ(dialog->dwExtendedStyle, 0u);
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, expected.cx);
    EXPECT_EQ(dialog->cy, expected.cy);
    EXPECT_STREQ(dialog->caption, expected.caption);
    EXPECT_STREQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->pointSize, 8);
    ASSERT_EQ(dialog->items.size(), expected.controls.size());
    for (size_t i = 0; i < expected.controls.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const DLGITEMTEMPLATE& item = dialog->items[i];
        const Control& c = expected.controls[i];
        EXPECT_STREQ(item.windowClass, c.windowClass);
        EXPECT_EQ(item.text, c.text);
        EXPECT_EQ(item.id, c.id);
        EXPECT_EQ(item.style, c.style) << std::hex << item.style;
        EXPECT_EQ(item.dwExtendedStyle, 0u);
        EXPECT_EQ(item.x, c.x);
        EXPECT_EQ(item.y, c.y);
        EXPECT_EQ(item.cx, c.cx);
        EXPECT_EQ(item.cy, c.cy);
    }
}

TEST(DialogTemplates, AboutBoxWordsAndControls)
{
    const VERSIONINFO* version = LoadVersionResource(VS_VERSION_INFO);
    ASSERT_NE(version, nullptr);
    const std::string notice = version->strings[4].value;
    EXPECT_FALSE(notice.empty());
    ExpectDialog({100,
                  0x80C800C0,
                  "About Pixmora",
                  217,
                  55,
                  {
                      {"STATIC", "#128", -1, 0x50000003, 11, 17, 20, 20},
                      {"STATIC", "Pixmora Version 1.0", -1, 0x50020080, 40, 10, 119, 8},
                      {"STATIC", notice, -1, 0x50020000, 40, 25, 119, 8},
                      {"BUTTON", "OK", 1, 0x50030001, 178, 7, 32, 14},
                  }});
    EXPECT_EQ(ResourceOrdinal(LoadDialogResource(IDD_ABOUTBOX)->items[0].text), IDR_MAINFRAME);
}

TEST(DialogTemplates, PaletteDialogWordsAndControls)
{
    ExpectDialog({130,
                  0x80C800C0,
                  "View Palette",
                  268,
                  143,
                  {
                      {"BUTTON", "OK", 1, 0x50010001, 109, 122, 50, 14},
                      {"STATIC", "", 1000, 0x50000012, 7, 7, 254, 110},
                  }});
    // Mouse movement over the frame must reach the dialog.
    EXPECT_EQ(LoadDialogResource(IDD_PALETTE)->items[1].style & SS_NOTIFY, 0u);
    EXPECT_EQ(LoadDialogResource(IDD_PALETTE)->style & WS_CLIPCHILDREN, 0u);
}

TEST(DialogTemplates, UnknownIdsAndResourceNames)
{
    EXPECT_EQ(LoadDialogResource(128), nullptr);
    EXPECT_EQ(ResourceOrdinal("#65535"), 65535u);
    EXPECT_EQ(ResourceOrdinal("#65536"), 0u);
    EXPECT_EQ(ResourceOrdinal("#99999999999"), 0u);
    EXPECT_EQ(ResourceOrdinal("#"), 0u);
    EXPECT_EQ(ResourceOrdinal("#12a"), 0u);
    EXPECT_EQ(ResourceOrdinal("128"), 0u);
    EXPECT_EQ(ResourceOrdinal(nullptr), 0u);
}

TEST(VersionBlock, FixedPartStringsAndTranslation)
{
    EXPECT_EQ(LoadVersionResource(2), nullptr);
    const VERSIONINFO* version = LoadVersionResource(1);
    ASSERT_NE(version, nullptr);
    const VS_FIXEDFILEINFO& fixed = version->fixed;
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 4u);
    EXPECT_EQ(fixed.dwFileType, 1u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);

    EXPECT_STREQ(version->stringBlock, "040904B0");
    std::string strings;
    for (const VERSIONSTRING& s : version->strings)
        strings += std::string(s.key) + "=" + s.value + "\n";
    EXPECT_EQ(strings, "CompanyName=\n"
                       "FileDescription=PIXMORA Application\n"
                       "FileVersion=1, 0, 0, 1\n"
                       "InternalName=PIXMORA\n"
                       "LegalCopyright=Copyright (C) 2026\n"
                       "LegalTrademarks=\n"
                       "OriginalFilename=PIXMORA.EXE\n"
                       "ProductName=PIXMORA Application\n"
                       "ProductVersion=1, 0, 0, 1\n");
    EXPECT_EQ(version->translationLanguage, 0x0409);
    EXPECT_EQ(version->translationCodePage, 1200);
}

} // namespace
