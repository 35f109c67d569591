// The version block: version 1.0.0.1, English (United States) strings.

#include "LegalNotice.h"
#include "resources/Resources.h"

namespace {

constexpr VERSIONSTRING kVersionStrings[] = {
    {"CompanyName", ""},
    {"FileDescription", "PIXMORA Application"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "PIXMORA"},
    {"LegalCopyright", kLegalNotice},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "PIXMORA.EXE"},
    {"ProductName", "PIXMORA Application"},
    {"ProductVersion", "1, 0, 0, 1"},
};

constexpr VERSIONINFO kVersion = {
    {
        VS_FFI_SIGNATURE,
        VS_FFI_STRUCVERSION,
        0x00010000, // file version 1.0
        0x00000001, // .0.1
        0x00010000, // product version likewise
        0x00000001,
        VS_FFI_FILEFLAGSMASK,
        0, // a release build: no debug, patched or pre-release flag
        VOS__WINDOWS32,
        VFT_APP,
        0,
        0,
        0,
    },
    "040904B0", // English (United States), Unicode
    kVersionStrings,
    0x0409,
    0x04B0,
};

} // namespace

const VERSIONINFO* LoadVersionResource(UINT id)
{
    return id == VS_VERSION_INFO ? &kVersion : nullptr;
}
