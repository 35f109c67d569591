// The menus, the accelerators and the toolbar layout as a user meets them.

#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Shown(const char* text)
{
    std::string out;
    for (const char* p = text; *p != '\0'; ++p)
        out += *p == '\t' ? std::string("\\t") : std::string(1, *p);
    return out;
}

// The menu bar as an outline: a popup per line, then its items indented,
// "---" for a separator; anything unusual about an item is spelled out.
std::string Outline(MENUTEMPLATE menu)
{
    std::string out;
    for (const MENUITEMTEMPLATE& popup : menu) {
        out += Shown(popup.mtString);
        if (popup.mtOption != MF_POPUP || popup.mtID != 0)
            out += " (not a plain popup)";
        out += '\n';
        for (const MENUITEMTEMPLATE& item : popup.mtItems) {
            const bool separator = item.mtOption == MF_SEPARATOR;
            if (separator && item.mtID == 0 && *item.mtString == '\0' && item.mtItems.empty()) {
                out += "  ---\n";
                continue;
            }
            out += "  " + std::to_string(item.mtID) + " " + Shown(item.mtString);
            if (item.mtOption == MF_GRAYED)
                out += " (grayed)";
            else if (item.mtOption != MF_STRING)
                out += " (flags " + std::to_string(item.mtOption) + ")";
            if (!item.mtItems.empty())
                out += " (has items)";
            out += '\n';
        }
    }
    return out;
}

TEST(MainMenu, ReadsAsTheOutline)
{
    EXPECT_EQ(Outline(LoadMenuResource(128)), R"(&File
  57600 &New\tCtrl+N
  57601 &Open...\tCtrl+O
  57603 &Save\tCtrl+S
  57604 Save &As...
  ---
  57616 Recent File (grayed)
  ---
  57665 E&xit
&Edit
  57643 &Undo\tCtrl+Z
  ---
  57635 Cu&t\tCtrl+X
  57634 &Copy\tCtrl+C
  57637 &Paste\tCtrl+V
&View
  32773 &Enlarge DIB
  32774 S&hrink DIB
  ---
  32772 Current &Palette
  32771 &DIB Palette
  ---
  59392 &Toolbar
  59393 &Status Bar
&Help
  57664 &About Pixmora...
)");
    EXPECT_TRUE(LoadMenuResource(129).empty());
}

// A shortcut as the menu spells it, e.g. "Ctrl+N" or "Shift+F6".
std::string Shortcut(const ACCEL& accel)
{
    std::string out;
    if (accel.fVirt & FCONTROL)
        out += "Ctrl+";
    if (accel.fVirt & FALT)
        out += "Alt+";
    if (accel.fVirt & FSHIFT)
        out += "Shift+";
    switch (accel.key) {
    case VK_BACK:
        return out + "Backspace";
    case VK_DELETE:
        return out + "Delete";
    case VK_INSERT:
        return out + "Insert";
    case VK_F6:
        return out + "F6";
    default:
        return accel.key >= 'A' && accel.key <= 'Z' ? out + static_cast<char>(accel.key)
                                                    : out + "key " + std::to_string(accel.key);
    }
}

TEST(MainAccelerators, AreThirteenVirtualKeysInOrderWithTheEndMarkOnTheLast)
{
    const std::vector<std::string> expected = {
        "Ctrl+N 57600",       "Ctrl+O 57601",      "Ctrl+S 57603",       "Ctrl+Z 57643",
        "Ctrl+X 57635",       "Ctrl+C 57634",      "Ctrl+V 57637",       "Alt+Backspace 57643",
        "Shift+Delete 57635", "Ctrl+Insert 57634", "Shift+Insert 57637", "F6 57680",
        "Shift+F6 57681",
    };
    const std::span<const ACCEL> table = LoadAcceleratorResource(128);
    std::vector<std::string> actual;
    for (const ACCEL& accel : table)
        actual.push_back(Shortcut(accel) + " " + std::to_string(accel.cmd));
    EXPECT_EQ(actual, expected);

    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        const BYTE known = FVIRTKEY | FSHIFT | FCONTROL | FALT | FLASTKEY;
        EXPECT_EQ(table[i].fVirt & ~known, 0);
        EXPECT_TRUE(table[i].fVirt & FVIRTKEY);
        EXPECT_EQ((table[i].fVirt & FLASTKEY) != 0, i + 1 == table.size());
    }
    // The flag bytes as stored: Ctrl, Alt, Shift, and Shift with the end mark.
    ASSERT_EQ(table.size(), 13u);
    EXPECT_EQ(table[0].fVirt, 0x09);
    EXPECT_EQ(table[7].fVirt, 0x11);
    EXPECT_EQ(table[8].fVirt, 0x05);
    EXPECT_EQ(table[11].fVirt, 0x01);
    EXPECT_EQ(table[12].fVirt, 0x85);
    EXPECT_EQ(table[12].key, 0x75);
    EXPECT_TRUE(LoadAcceleratorResource(100).empty());
}

TEST(MainMenu, EveryShortcutShownIsAnAcceleratorForThatItem)
{
    const std::span<const ACCEL> table = LoadAcceleratorResource(IDR_MAINFRAME);
    int shown = 0;
    for (const MENUITEMTEMPLATE& popup : LoadMenuResource(IDR_MAINFRAME)) {
        for (const MENUITEMTEMPLATE& item : popup.mtItems) {
            const std::string text = item.mtString;
            const size_t tab = text.find('\t');
            if (tab == std::string::npos)
                continue;
            ++shown;
            const std::string shortcut = text.substr(tab + 1);
            bool found = false;
            for (const ACCEL& accel : table)
                found = found || (accel.cmd == item.mtID && Shortcut(accel) == shortcut);
            EXPECT_TRUE(found) << Shown(item.mtString);
        }
    }
    EXPECT_EQ(shown, 7);
}

TEST(MainToolBar, HasTwelveItemsWhosePicturesAreTheStripsTenInOrder)
{
    const TOOLBARTEMPLATE* toolBar = LoadToolBarResource(128);
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->wVersion, 1);
    EXPECT_EQ(toolBar->wWidth, 16);
    EXPECT_EQ(toolBar->wHeight, 18);

    struct Item
    {
        WORD id;
        int image;
    };
    const Item expected[] = {
        {57600, 0}, {57601, 1}, {57603, 2}, {0, -1},    {57635, 3}, {57634, 4},
        {57637, 5}, {0, -1},    {57607, 6}, {57664, 7}, {32773, 8}, {32774, 9},
    };
    ASSERT_EQ(toolBar->items.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(toolBar->items[i], expected[i].id);
        EXPECT_EQ(ToolBarImageIndex(*toolBar, i), expected[i].image);
    }
    EXPECT_EQ(ToolBarImageIndex(*toolBar, 12), -1);
    EXPECT_EQ(LoadToolBarResource(129), nullptr);
}

} // namespace
