#pragma once

// The user interface's tables as plain data: menus, accelerators, toolbars,
// strings, dialog templates, icons and the version block. The resources
// library fills them in; the window layer builds its windows from them. The
// constants carry the window system's own numbers so that the style words of
// a template read the same here as anywhere else.

#include "core/Types.h"

#include <span>

// ---- Menus ------------------------------------------------------------------

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// One item of a menu: a command (MF_STRING), a separator (MF_SEPARATOR, id 0,
// empty text) or a popup (MF_POPUP, id 0) with its own items. The text may
// hold '&' before the mnemonic letter and '\t' before the shortcut shown
// right-aligned.
struct MENUITEMTEMPLATE
{
    UINT mtOption;
    UINT mtID;
    const char* mtString;
    std::span<const MENUITEMTEMPLATE> mtItems; // a popup's items, top to bottom
};

// A menu bar: its popups from left to right.
using MENUTEMPLATE = std::span<const MENUITEMTEMPLATE>;

// ---- Accelerators -------------------------------------------------------------

inline constexpr BYTE FVIRTKEY = 0x01; // key is a virtual-key code, not a character
inline constexpr BYTE FNOINVERT = 0x02;
inline constexpr BYTE FSHIFT = 0x04;
inline constexpr BYTE FCONTROL = 0x08;
inline constexpr BYTE FALT = 0x10;
inline constexpr BYTE FLASTKEY = 0x80; // set on the last entry of a table

// Virtual-key codes; letters and digits are their upper-case ASCII codes.
inline constexpr WORD VK_BACK = 0x08;
inline constexpr WORD VK_INSERT = 0x2D;
inline constexpr WORD VK_DELETE = 0x2E;
inline constexpr WORD VK_ADD = 0x6B;      // keypad +
inline constexpr WORD VK_SUBTRACT = 0x6D; // keypad -
inline constexpr WORD VK_F6 = 0x75;
inline constexpr WORD VK_OEM_PLUS = 0xBB;  // the main keyboard's = and + key
inline constexpr WORD VK_OEM_MINUS = 0xBD; // the main keyboard's - key

struct ACCEL
{
    BYTE fVirt; // F* flags
    WORD key;
    WORD cmd;
};

// ---- Toolbars -----------------------------------------------------------------

// The layout of a toolbar whose button pictures sit side by side in one image
// strip of the same resource id. An item of 0 is a separator and takes no
// picture; the n-th non-separator item shows picture n.
struct TOOLBARTEMPLATE
{
    WORD wVersion;
    WORD wWidth;  // of one picture, pixels
    WORD wHeight; // of the strip, pixels
    std::span<const WORD> items;
};

// ---- Strings ------------------------------------------------------------------

struct STRINGTABLEENTRY
{
    UINT id;
    const char* text;
};

// ---- Dialog templates -----------------------------------------------------------

inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_CAPTION = WS_BORDER | WS_DLGFRAME;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;

inline constexpr DWORD DS_SETFONT = 0x40; // the template names a font
inline constexpr DWORD DS_MODALFRAME = 0x80;

// Static controls: the low five bits are the kind, the rest are flags.
inline constexpr DWORD SS_LEFT = 0x00;
inline constexpr DWORD SS_ICON = 0x03;
inline constexpr DWORD SS_ETCHEDFRAME = 0x12;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_NOPREFIX = 0x80; // '&' is shown, not taken as a mnemonic mark
inline constexpr DWORD SS_NOTIFY = 0x100;

// Buttons: the low four bits are the kind.
inline constexpr DWORD BS_PUSHBUTTON = 0x00;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x01;
inline constexpr DWORD BS_TYPEMASK = 0x0F;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = -1; // a control nothing refers to

// One control, in dialog units. For a static icon the text names the icon
// resource: "#" and its number.
struct DLGITEMTEMPLATE
{
    const char* windowClass; // "BUTTON" or "STATIC"
    const char* text;
    int id;
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
};

// A dialog in dialog units (a quarter of the font's average character width
// across, an eighth of its height down), with its controls in tab order.
struct DLGTEMPLATE
{
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    const char* caption;
    const char* fontName; // with DS_SETFONT
    WORD pointSize;
    std::span<const DLGITEMTEMPLATE> items;
};

// The number in a resource name of the form "#123"; 0 for any other text.
constexpr UINT ResourceOrdinal(const char* name)
{
    if (name == nullptr || name[0] != '#' || name[1] == '\0')
        return 0;
    UINT value = 0;
    for (const char* p = name + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9' || value > 0xFFFF)
            return 0;
        value = value * 10 + static_cast<UINT>(*p - '0');
    }
    return value <= 0xFFFF ? value : 0;
}

// ---- Icons --------------------------------------------------------------------

// One size of an icon as two bitmap file images of the same size: the colour
// picture, black where the icon is transparent, and a 1-bit mask whose set
// bits (colour entry 1, white) mark the transparent pixels. Drawing the mask
// ANDed with the screen and then the picture XORed over it shows the icon.
struct ICONIMAGE
{
    WORD cx;
    WORD cy;
    std::span<const BYTE> colorBitmap;
    std::span<const BYTE> maskBitmap;
};

// ---- Version block -------------------------------------------------------------

inline constexpr UINT VS_VERSION_INFO = 1;
inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
inline constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x3F;
inline constexpr DWORD VOS__WINDOWS32 = 0x4;
inline constexpr DWORD VFT_APP = 0x1;

struct VS_FIXEDFILEINFO
{
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS; // major << 16 | minor
    DWORD dwFileVersionLS; // build << 16 | revision
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

struct VERSIONSTRING
{
    const char* key;
    const char* value;
};

struct VERSIONINFO
{
    VS_FIXEDFILEINFO fixed;
    // Language and code page of the strings as eight hex digits, e.g. "040904B0".
    const char* stringBlock;
    std::span<const VERSIONSTRING> strings; // in the order they are stored
    WORD translationLanguage;
    WORD translationCodePage;
};
