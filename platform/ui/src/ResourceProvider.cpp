// The window layer's access to the program's resources, through the provider it is given.

#include "ui/ResourceProvider.h"

namespace {

const ResourceProvider* g_provider = nullptr;

// Calls the provider's lookup when there is one, else gives `none`.
template <typename Result, typename Lookup>
Result Find(Lookup ResourceProvider::*lookup, UINT id, Result none)
{
    return g_provider && g_provider->*lookup ? (g_provider->*lookup)(id) : none;
}

} // namespace

const ResourceProvider* AfxSetResourceProvider(const ResourceProvider* provider)
{
    const ResourceProvider* previous = g_provider;
    g_provider = provider;
    return previous;
}

MENUTEMPLATE AfxLoadMenu(UINT id)
{
    return Find(&ResourceProvider::menu, id, MENUTEMPLATE{});
}

std::span<const ACCEL> AfxLoadAccelerators(UINT id)
{
    return Find(&ResourceProvider::accelerators, id, std::span<const ACCEL>{});
}

const TOOLBARTEMPLATE* AfxLoadToolBar(UINT id)
{
    return Find(&ResourceProvider::toolBar, id, static_cast<const TOOLBARTEMPLATE*>(nullptr));
}

std::span<const BYTE> AfxLoadBitmap(UINT id)
{
    return Find(&ResourceProvider::bitmap, id, std::span<const BYTE>{});
}

std::span<const ICONIMAGE> AfxLoadIcon(UINT id)
{
    return Find(&ResourceProvider::icon, id, std::span<const ICONIMAGE>{});
}

const char* AfxLoadString(UINT id)
{
    return Find(&ResourceProvider::string, id, static_cast<const char*>(nullptr));
}

const DLGTEMPLATE* AfxLoadDialog(UINT id)
{
    return Find(&ResourceProvider::dialog, id, static_cast<const DLGTEMPLATE*>(nullptr));
}

std::string_view GetStringField(const char* text, int index)
{
    if (text == nullptr || index < 0)
        return {};
    std::string_view rest(text);
    for (; index > 0; --index) {
        const size_t end = rest.find('\n');
        if (end == std::string_view::npos)
            return {};
        rest.remove_prefix(end + 1);
    }
    return rest.substr(0, rest.find('\n'));
}
