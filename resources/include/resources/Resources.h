#pragma once

// The program's resources, looked up by id the way the window layer loads
// them. Every lookup gives null or an empty span when the id names no
// resource of that kind. All data is static and lives as long as the program.

#include "core/Types.h"
#include "resources/ResourceIds.h"
#include "ui/ResourceProvider.h"
#include "ui/ResourceTypes.h"

#include <array>
#include <span>
#include <string_view>

// The menu bar: IDR_MAINFRAME.
MENUTEMPLATE LoadMenuResource(UINT id);

// The accelerator table: IDR_MAINFRAME. The last entry carries FLASTKEY.
std::span<const ACCEL> LoadAcceleratorResource(UINT id);

// The toolbar layout: IDR_MAINFRAME; its pictures are bitmap IDR_MAINFRAME.
const TOOLBARTEMPLATE* LoadToolBarResource(UINT id);

// The picture that item `item` of the toolbar shows, counted in the image
// strip; -1 for a separator or an item past the end.
int ToolBarImageIndex(const TOOLBARTEMPLATE& toolBar, size_t item);

// A complete bitmap file image (file header, info header, colour table,
// pixels), ready for CDib::Read through a CMemFile: IDR_MAINFRAME, the
// toolbar's image strip.
std::span<const BYTE> LoadBitmapResource(UINT id);

// The images of an icon group, largest first: IDR_MAINFRAME (the
// application) and IDI_DOCUMENT, each 32 x 32 and 16 x 16.
std::span<const ICONIMAGE> LoadIconResource(UINT id);

// The text of a string, or null when there is no such string.
const char* LoadResourceString(UINT id);

// Every string, by ascending id.
std::span<const STRINGTABLEENTRY> GetStringTable();

// IDD_ABOUTBOX and IDD_PALETTE.
const DLGTEMPLATE* LoadDialogResource(UINT id);

// VS_VERSION_INFO.
const VERSIONINFO* LoadVersionResource(UINT id);

// ---- Strings made of '\n'-separated fields ----------------------------------

// GetStringField, kCommandPrompt and kCommandTip come with the window layer's
// resource provider.

// The fields of a document template string, in their fixed order.
enum DocStringField
{
    kDocWindowTitle,    // the main window's title
    kDocName,           // default name of an untitled document; empty: the framework's
    kDocFileNewName,    // the type's name in a File New list of several types
    kDocFilterName,     // the file dialog's filter description
    kDocFilterExt,      // that filter's extension, also the default extension
    kDocRegFileTypeId,  // shell registration id
    kDocRegFileTypeName // shell registration name
};
inline constexpr int kDocStringFieldCount = 7;

// The seven fields of a document template string such as string
// IDR_MAINFRAME; missing fields are empty.
std::array<std::string_view, kDocStringFieldCount> SplitDocString(const char* text);

// All of the above as the window layer takes them (AfxSetResourceProvider).
const ResourceProvider& GetResourceProvider();
