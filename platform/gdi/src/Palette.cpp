// Logical palettes and the emulated system palette. The screen is true
// colour, so palettes never change what is drawn except through
// palette-index colours; the system palette exists so that realising a
// palette reports what a 256-colour display would.

#include "HandleObjects.h"

#include <array>
#include <climits>
#include <cstring>

namespace {

constexpr WORD kPaletteVersion = 0x300;
constexpr int kSystemSize = 256;
constexpr int kStaticEach = 10; // static colours at each end of the system palette

// The twenty colours a 256-colour display always holds: the first ten, then the last ten.
constexpr std::array<PALETTEENTRY, 2 * kStaticEach> kStaticColors = {{
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
}};

struct SystemSlot
{
    PALETTEENTRY color{0, 0, 0, 0};
    const PaletteObject* owner = nullptr; // null: a static colour, or free when !used
    bool used = false;
};

struct SystemPalette
{
    SystemPalette()
    {
        for (int i = 0; i < kStaticEach; ++i) {
            slots[i] = SystemSlot{kStaticColors[i], nullptr, true};
            slots[kSystemSize - kStaticEach + i] =
                SystemSlot{kStaticColors[kStaticEach + i], nullptr, true};
        }
    }

    std::array<SystemSlot, kSystemSize> slots;
    const PaletteObject* foreground = nullptr;
};

PALETTEREALIZEDPROC g_realizedHook = nullptr;

SystemPalette& System()
{
    static SystemPalette system;
    return system;
}

bool SameColor(const PALETTEENTRY& a, const PALETTEENTRY& b)
{
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

bool HasExactMatch(const SystemPalette& system, const PALETTEENTRY& color)
{
    for (const SystemSlot& slot : system.slots)
        if (slot.used && SameColor(slot.color, color))
            return true;
    return false;
}

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* record)
{
    if (!record || record->palVersion != kPaletteVersion || record->palNumEntries == 0)
        return nullptr;
    auto* palette = new PaletteObject;
    palette->entries.resize(record->palNumEntries);
    // The record's entries run on past its declared one-entry array.
    const BYTE* bytes = reinterpret_cast<const BYTE*>(record) + offsetof(LOGPALETTE, palPalEntry);
    std::memcpy(palette->entries.data(), bytes, palette->entries.size() * sizeof(PALETTEENTRY));
    RegisterObject(palette);
    return palette;
}

HPALETTE GetDefaultPalette()
{
    static PaletteObject* palette = [] {
        auto* p = new PaletteObject;
        p->entries.assign(kStaticColors.begin(), kStaticColors.end());
        RegisterObject(p);
        return p;
    }();
    return palette;
}

int GetObjectA(HPALETTE palette, int bufferSize, void* buffer)
{
    if (!IsLiveObject(palette) || !buffer || bufferSize < static_cast<int>(sizeof(WORD)))
        return 0;
    const WORD count = static_cast<WORD>(AsPalette(palette)->entries.size());
    std::memcpy(buffer, &count, sizeof count);
    return sizeof count;
}

UINT GetPaletteEntries(HPALETTE palette, UINT first, UINT count, PALETTEENTRY* entries)
{
    if (!IsLiveObject(palette) || !entries)
        return 0;
    const auto& all = AsPalette(palette)->entries;
    if (first >= all.size())
        return 0;
    const UINT n = static_cast<UINT>(std::min<size_t>(count, all.size() - first));
    std::memcpy(entries, all.data() + first, n * sizeof(PALETTEENTRY));
    return n;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground)
{
    if (!IsLiveDC(hdc) || !IsLiveObject(palette))
        return nullptr;
    HPALETTE previous = hdc->palette;
    hdc->palette = AsPalette(palette);
    hdc->paletteBackground = forceBackground != FALSE;
    return Deselected(previous) ? nullptr : previous;
}

UINT RealizePalette(HDC hdc)
{
    if (!IsLiveDC(hdc))
        return 0;
    const PaletteObject* palette = hdc->palette;
    // The static colours are always there, and a background palette takes
    // the nearest colours already present: neither maps anything new.
    if (palette == GetDefaultPalette() || hdc->paletteBackground)
        return 0;

    SystemPalette& system = System();
    if (system.foreground != palette) {
        // A new foreground palette takes over the slots of the one before.
        if (system.foreground)
            ReleasePaletteSlots(system.foreground);
        system.foreground = palette;
    }
    UINT mapped = 0;
    for (const PALETTEENTRY& color : palette->entries) {
        if (HasExactMatch(system, color))
            continue;
        for (SystemSlot& slot : system.slots) {
            if (!slot.used) {
                slot = SystemSlot{color, palette, true};
                ++mapped;
                break;
            }
        }
        // No free slot left: the entry maps to the nearest colour present.
    }
    if (mapped != 0 && g_realizedHook)
        g_realizedHook(hdc, mapped);
    return mapped;
}

PALETTEREALIZEDPROC SetPaletteRealizedHook(PALETTEREALIZEDPROC hook)
{
    PALETTEREALIZEDPROC previous = g_realizedHook;
    g_realizedHook = hook;
    return previous;
}

void ReleasePaletteSlots(const PaletteObject* palette)
{
    SystemPalette& system = System();
    for (SystemSlot& slot : system.slots)
        if (slot.owner == palette)
            slot = SystemSlot{};
    if (system.foreground == palette)
        system.foreground = nullptr;
}
