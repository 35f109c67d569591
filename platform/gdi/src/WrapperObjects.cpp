// Wrapper level: the objects of gdi/Dc.h, each owning or borrowing a handle.

#include "HandleObjects.h"
#include "gdi/Dc.h"

#include <memory>
#include <unordered_map>

namespace {

// Which wrapper stands for a handle: the one that owns it, or a borrowed one
// made by FromHandle that lives until the handle is deleted.
// A borrowed wrapper never deletes its handle: it is emptied before it goes.
void Disown(CObject* wrapper)
{
    if (auto* dc = dynamic_cast<CDC*>(wrapper))
        dc->m_hDC = nullptr;
    else if (auto* object = dynamic_cast<CGdiObject*>(wrapper))
        object->m_hObject = nullptr;
}

struct Wrappers
{
    ~Wrappers()
    {
        for (auto& [handle, wrapper] : borrowed)
            Disown(wrapper.get());
    }

    std::unordered_map<const void*, CObject*> owners;
    std::unordered_map<const void*, std::unique_ptr<CObject>> borrowed;
};

Wrappers& AllWrappers()
{
    static Wrappers wrappers;
    return wrappers;
}

template <typename Wrapper, typename Handle>
Wrapper* WrapperOf(Handle handle)
{
    if (!handle)
        return nullptr;
    Wrappers& w = AllWrappers();
    if (auto it = w.owners.find(handle); it != w.owners.end())
        return static_cast<Wrapper*>(it->second);
    auto& slot = w.borrowed[handle];
    if (!slot) {
        auto wrapper = std::make_unique<Wrapper>();
        if constexpr (std::is_base_of_v<CDC, Wrapper>)
            wrapper->m_hDC = handle;
        else
            wrapper->m_hObject = handle;
        slot = std::move(wrapper);
    }
    return static_cast<Wrapper*>(slot.get());
}

// Makes `owner` the wrapper that holds `handle` in `slot`.
template <typename Handle>
BOOL AttachHandle(CObject* owner, Handle& slot, Handle handle)
{
    if (!handle)
        return FALSE;
    slot = handle;
    AllWrappers().owners[handle] = owner;
    return TRUE;
}

template <typename Handle>
Handle DetachHandle(Handle& slot)
{
    Handle handle = slot;
    if (handle)
        AllWrappers().owners.erase(handle);
    slot = nullptr;
    return handle;
}

} // namespace

void ForgetWrapper(const void* handle)
{
    Wrappers& w = AllWrappers();
    w.owners.erase(handle);
    if (auto it = w.borrowed.find(handle); it != w.borrowed.end()) {
        Disown(it->second.get());
        w.borrowed.erase(it);
    }
}

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    DeleteObject();
    return AttachHandle(this, m_hObject, object);
}

HGDIOBJ CGdiObject::Detach()
{
    return DetachHandle(m_hObject);
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    HGDIOBJ object = m_hObject;
    // Deleting forgets this wrapper along with the handle.
    if (!::DeleteObject(object))
        return FALSE;
    m_hObject = nullptr;
    return TRUE;
}

BOOL CPalette::CreatePalette(const LOGPALETTE* record)
{
    return Attach(::CreatePalette(record));
}

CPalette* CPalette::FromHandle(HPALETTE palette)
{
    return WrapperOf<CPalette>(palette);
}

CBrush::CBrush(COLORREF color)
{
    CreateSolidBrush(color);
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

CBrush* CBrush::FromHandle(HBRUSH brush)
{
    return WrapperOf<CBrush>(brush);
}

CPen::CPen(int style, int width, COLORREF color)
{
    Attach(::CreatePen(style, width, color));
}

CPen* CPen::FromHandle(HPEN pen)
{
    return WrapperOf<CPen>(pen);
}

CDC::~CDC()
{
    if (m_hDC) {
        AllWrappers().owners.erase(m_hDC);
        ::DeleteDC(m_hDC);
    }
}

BOOL CDC::Attach(HDC hdc)
{
    return AttachHandle(this, m_hDC, hdc);
}

HDC CDC::Detach()
{
    return DetachHandle(m_hDC);
}

CDC* CDC::FromHandle(HDC hdc)
{
    return WrapperOf<CDC>(hdc);
}

CPalette* CDC::SelectPalette(CPalette* palette, BOOL forceBackground)
{
    return CPalette::FromHandle(::SelectPalette(
        m_hDC, palette ? static_cast<HPALETTE>(*palette) : nullptr, forceBackground));
}

UINT CDC::RealizePalette()
{
    return ::RealizePalette(m_hDC);
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    return CBrush::FromHandle(::SelectObject(m_hDC, brush ? static_cast<HBRUSH>(*brush) : nullptr));
}

CPen* CDC::SelectObject(CPen* pen)
{
    return CPen::FromHandle(::SelectObject(m_hDC, pen ? static_cast<HPEN>(*pen) : nullptr));
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom)
{
    return ::Rectangle(m_hDC, left, top, right, bottom);
}

BOOL CDC::Rectangle(const RECT* rect)
{
    return ::Rectangle(m_hDC, rect->left, rect->top, rect->right, rect->bottom);
}

void CDC::FillRect(const RECT* rect, CBrush* brush)
{
    ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(*brush) : nullptr);
}

COLORREF CDC::GetPixel(int x, int y) const
{
    return ::GetPixel(m_hDC, x, y);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT previous{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &previous);
    return {previous.x, previous.y};
}

int CDC::GetClipBox(RECT* rect) const
{
    return ::GetClipBox(m_hDC, rect);
}

CSurfaceDC::CSurfaceDC(CSurface* surface)
{
    Attach(CreateSurfaceDC(surface));
}
