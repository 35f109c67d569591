// The main menu and its shortcuts as a user meets them.

#include "resources/Resources.h"

#include <gtest/gtest.h>

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

// A popup per line, then its items indented with their command ids.
std::string Outline(MENUTEMPLATE menu)
{
    std::string out;
    for (const MENUITEMTEMPLATE& popup : menu) {
        out += Shown(popup.mtString) + (popup.mtOption == MF_POPUP ? "\n" : " (no popup)\n");
        for (const MENUITEMTEMPLATE& item : popup.mtItems)
            out += item.mtOption == MF_SEPARATOR
                       ? "  ---\n"
                       : "  " + std::to_string(item.mtID) + " " + Shown(item.mtString) +
                             (item.mtOption == MF_GRAYED ? " (grayed)\n" : "\n");
    }
    return out;
}

TEST(MainMenu, ReadsAsTheOutline)
{
    EXPECT_EQ(Outline(LoadMenuResource(IDR_MAINFRAME)), R"(&File
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
}

// A shortcut as the menu spells it, e.g. "Ctrl+N" or "Shift+F6".
std::string Shortcut(const ACCEL& accel)
{
    std::string out;
    for (auto [flag, name] : {std::pair{FCONTROL, "Ctrl+"}, {FALT, "Alt+"}, {FSHIFT, "Shift+"}})
        if (accel.fVirt & flag)
            out += name;
    if (!(accel.fVirt & FVIRTKEY))
        return out + "(not a virtual key)";
    for (auto [key, name] : {std::pair<WORD, const char*>{VK_BACK, "Backspace"},
                             {VK_DELETE, "Delete"},
                             {VK_INSERT, "Insert"},
                             {VK_OEM_PLUS, "="},
                             {VK_OEM_MINUS, "-"},
                             {VK_ADD, "Num+"},
                             {VK_SUBTRACT, "Num-"},
                             {VK_F6, "F6"}})
        if (accel.key == key)
            return out + name;
    return out + static_cast<char>(accel.key);
}

// Save's Ctrl+S stays although Save does nothing; the table ends with its last entry.
TEST(MainAccelerators, AreTheShortcutsAUserKnows)
{
    const std::span<const ACCEL> table = LoadAcceleratorResource(IDR_MAINFRAME);
    std::vector<std::string> actual;
    for (const ACCEL& accel : table)
        actual.push_back(Shortcut(accel) + " " + std::to_string(accel.cmd));
    EXPECT_EQ(actual,
              (std::vector<std::string>{
                  "Ctrl+N 57600", "Ctrl+O 57601", "Ctrl+S 57603", "Ctrl+Z 57643", "Ctrl+X 57635",
                  "Ctrl+C 57634", "Ctrl+V 57637", "Alt+Backspace 57643", "Shift+Delete 57635",
                  "Ctrl+Insert 57634", "Shift+Insert 57637", "Ctrl+= 32773", "Ctrl+Shift+= 32773",
                  "Ctrl+- 32774", "Num+ 32773", "Num- 32774", "F6 57680", "Shift+F6 57681"}));
    for (size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ((table[i].fVirt & FLASTKEY) != 0, i + 1 == table.size()) << i;
}

} // namespace
