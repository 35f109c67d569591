// The main menu, its accelerators and the toolbar, all under IDR_MAINFRAME.

#include "resources/Resources.h"

namespace {

constexpr MENUITEMTEMPLATE Command(UINT id, const char* text, UINT flags = MF_STRING)
{
    return {flags, id, text, {}};
}
constexpr MENUITEMTEMPLATE Separator()
{
    return {MF_SEPARATOR, 0, "", {}};
}
constexpr MENUITEMTEMPLATE Popup(const char* text, std::span<const MENUITEMTEMPLATE> items)
{
    return {MF_POPUP, 0, text, items};
}

constexpr MENUITEMTEMPLATE kFileMenu[] = {
    Command(ID_FILE_NEW, "&New\tCtrl+N"),
    Command(ID_FILE_OPEN, "&Open...\tCtrl+O"),
    Command(ID_FILE_SAVE, "&Save\tCtrl+S"),
    Command(ID_FILE_SAVE_AS, "Save &As..."),
    Separator(),
    // Stands in for the recent-file list, which replaces it once it has entries.
    Command(ID_FILE_MRU_FILE1, "Recent File", MF_GRAYED),
    Separator(),
    Command(ID_APP_EXIT, "E&xit"),
};

constexpr MENUITEMTEMPLATE kEditMenu[] = {
    Command(ID_EDIT_UNDO, "&Undo\tCtrl+Z"),
    Separator(), // undo stands apart from the clipboard commands
    Command(ID_EDIT_CUT, "Cu&t\tCtrl+X"),
    Command(ID_EDIT_COPY, "&Copy\tCtrl+C"),
    Command(ID_EDIT_PASTE, "&Paste\tCtrl+V"),
};

constexpr MENUITEMTEMPLATE kViewMenu[] = {
    Command(ID_VIEW_ENLARGE, "&Enlarge DIB"),
    Command(ID_VIEW_SHRINK, "S&hrink DIB"),
    Separator(),
    Command(ID_VIEW_CURRENT_PALETTE, "Current &Palette"),
    Command(ID_VIEW_DIB_PALETTE, "&DIB Palette"),
    Separator(),
    Command(ID_VIEW_TOOLBAR, "&Toolbar"),
    Command(ID_VIEW_STATUS_BAR, "&Status Bar"),
};

constexpr MENUITEMTEMPLATE kHelpMenu[] = {
    Command(ID_APP_ABOUT, "&About Pixmora..."),
};

constexpr MENUITEMTEMPLATE kMainMenu[] = {
    Popup("&File", kFileMenu),
    Popup("&Edit", kEditMenu),
    Popup("&View", kViewMenu),
    Popup("&Help", kHelpMenu),
};

constexpr ACCEL Key(BYTE modifiers, WORD key, UINT cmd)
{
    return {static_cast<BYTE>(FVIRTKEY | modifiers), key, static_cast<WORD>(cmd)};
}

// The Edit commands keep their older second shortcuts (Alt+Backspace,
// Shift+Delete, Ctrl+Insert, Shift+Insert) beside the letter ones.
constexpr ACCEL kMainAccelerators[] = {
    Key(FCONTROL, 'N', ID_FILE_NEW),
    Key(FCONTROL, 'O', ID_FILE_OPEN),
    Key(FCONTROL, 'S', ID_FILE_SAVE),
    Key(FCONTROL, 'Z', ID_EDIT_UNDO),
    Key(FCONTROL, 'X', ID_EDIT_CUT),
    Key(FCONTROL, 'C', ID_EDIT_COPY),
    Key(FCONTROL, 'V', ID_EDIT_PASTE),
    Key(FALT, VK_BACK, ID_EDIT_UNDO),
    Key(FSHIFT, VK_DELETE, ID_EDIT_CUT),
    Key(FCONTROL, VK_INSERT, ID_EDIT_COPY),
    Key(FSHIFT, VK_INSERT, ID_EDIT_PASTE),
    // Zoom keys: Ctrl with = or + (shifted or not, as the layout has it) or -,
    // and the keypad's + and -.
    Key(FCONTROL, VK_OEM_PLUS, ID_VIEW_ENLARGE),
    Key(FCONTROL | FSHIFT, VK_OEM_PLUS, ID_VIEW_ENLARGE),
    Key(FCONTROL, VK_OEM_MINUS, ID_VIEW_SHRINK),
    Key(0, VK_ADD, ID_VIEW_ENLARGE),
    Key(0, VK_SUBTRACT, ID_VIEW_SHRINK),
    Key(0, VK_F6, ID_NEXT_PANE),
    Key(FSHIFT | FLASTKEY, VK_F6, ID_PREV_PANE),
};

// 0 is a gap between groups of buttons.
constexpr WORD kMainToolBarItems[] = {
    ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE,    0, //
    ID_EDIT_CUT,   ID_EDIT_COPY, ID_EDIT_PASTE,   0, //
    ID_FILE_PRINT, ID_APP_ABOUT, ID_VIEW_ENLARGE, ID_VIEW_SHRINK,
};

constexpr TOOLBARTEMPLATE kMainToolBar = {1, 16, 18, kMainToolBarItems};

} // namespace

MENUTEMPLATE LoadMenuResource(UINT id)
{
    return id == IDR_MAINFRAME ? MENUTEMPLATE(kMainMenu) : MENUTEMPLATE();
}

std::span<const ACCEL> LoadAcceleratorResource(UINT id)
{
    return id == IDR_MAINFRAME ? std::span<const ACCEL>(kMainAccelerators)
                               : std::span<const ACCEL>();
}

const TOOLBARTEMPLATE* LoadToolBarResource(UINT id)
{
    return id == IDR_MAINFRAME ? &kMainToolBar : nullptr;
}

int ToolBarImageIndex(const TOOLBARTEMPLATE& toolBar, size_t item)
{
    if (item >= toolBar.items.size() || toolBar.items[item] == 0)
        return -1;
    int image = 0;
    for (size_t i = 0; i < item; ++i)
        image += toolBar.items[i] != 0 ? 1 : 0;
    return image;
}
