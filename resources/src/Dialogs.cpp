// Dialog templates, in dialog units.

#include "LegalNotice.h"
#include "resources/Resources.h"

namespace {

// Modal frame, title bar with a close box, and a font of its own.
constexpr DWORD kModalDialogStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
constexpr const char kDialogFont[] = "MS Sans Serif";
constexpr WORD kDialogFontSize = 8;

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDefaultButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;

constexpr DLGITEMTEMPLATE Static(int id, const char* text, DWORD style, short x, short y, short cx,
                                 short cy)
{
    return {"STATIC", text, id, style, 0, x, y, cx, cy};
}
constexpr DLGITEMTEMPLATE Button(int id, const char* text, DWORD style, short x, short y, short cx,
                                 short cy)
{
    return {"BUTTON", text, id, style, 0, x, y, cx, cy};
}

constexpr DLGITEMTEMPLATE kAboutItems[] = {
    Static(IDC_STATIC, "#128", kChild | SS_ICON, 11, 17, 20, 20), // the application icon
    Static(IDC_STATIC, "Pixmora Version 1.0", kChild | WS_GROUP | SS_LEFT | SS_NOPREFIX, 40, 10,
           119, 8),
    Static(IDC_STATIC, kLegalNotice, kChild | WS_GROUP | SS_LEFT, 40, 25, 119, 8),
    Button(IDOK, "OK", kDefaultButton | WS_GROUP, 178, 7, 32, 14),
};

// Position 0, 0: the dialog is centred over its owner.
constexpr DLGTEMPLATE kAboutBox = {
    kModalDialogStyle, 0, 0, 0, 217, 55, "About Pixmora", kDialogFont, kDialogFontSize, kAboutItems,
};

// The frame takes no mouse input (no SS_NOTIFY), so movement over it reaches
// the dialog, which reads the pixel under the mouse.
constexpr DLGITEMTEMPLATE kPaletteItems[] = {
    Button(IDOK, "OK", kDefaultButton, 109, 122, 50, 14),
    Static(IDC_PALETTE_SWATCH, "", kChild | SS_ETCHEDFRAME, 7, 7, 254, 110),
};

constexpr DLGTEMPLATE kPaletteDialog = {
    kModalDialogStyle, 0, 0, 0, 268, 143, "View Palette", kDialogFont, kDialogFontSize,
    kPaletteItems,
};

} // namespace

const DLGTEMPLATE* LoadDialogResource(UINT id)
{
    switch (id) {
    case IDD_ABOUTBOX:
        return &kAboutBox;
    case IDD_PALETTE:
        return &kPaletteDialog;
    default:
        return nullptr;
    }
}
