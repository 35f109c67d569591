#pragma once

// Where the window layer finds the program's resources. The tables live in a
// library above this one, which hands them down once at start-up; tests may
// hand down tables of their own.

#include "ui/ResourceTypes.h"

#include <span>
#include <string_view>

struct ResourceProvider
{
    MENUTEMPLATE (*menu)(UINT id);                   // empty when there is none
    std::span<const ACCEL> (*accelerators)(UINT id); // empty when there is none
    const TOOLBARTEMPLATE* (*toolBar)(UINT id);      // null when there is none
    std::span<const BYTE> (*bitmap)(UINT id);        // a bitmap file image, or empty
    std::span<const ICONIMAGE> (*icon)(UINT id);     // largest first, or empty
    const char* (*string)(UINT id);                  // null when there is none
    const DLGTEMPLATE* (*dialog)(UINT id);           // null when there is none
};

// Sets the provider (null removes it) and returns the one before.
const ResourceProvider* AfxSetResourceProvider(const ResourceProvider* provider);

// Lookups through the provider; nothing is found while none is set.
MENUTEMPLATE AfxLoadMenu(UINT id);
std::span<const ACCEL> AfxLoadAccelerators(UINT id);
const TOOLBARTEMPLATE* AfxLoadToolBar(UINT id);
std::span<const BYTE> AfxLoadBitmap(UINT id);
std::span<const ICONIMAGE> AfxLoadIcon(UINT id);
const char* AfxLoadString(UINT id);
const DLGTEMPLATE* AfxLoadDialog(UINT id);

// Field `index` (from 0) of a string of '\n'-separated fields; empty when the
// text has fewer fields or is null.
std::string_view GetStringField(const char* text, int index);

// A command's string: what the status bar shows while the command is
// highlighted, then the tooltip of its toolbar button.
inline constexpr int kCommandPrompt = 0;
inline constexpr int kCommandTip = 1;
