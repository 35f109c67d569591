#pragma once

// Object wrappers over the drawing calls: a wrapper owns the handle it holds
// and deletes it when destroyed.

#include "core/Object.h"
#include "gdi/Gdi.h"

class CGdiObject : public CObject
{
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    // Takes ownership of `object`; FALSE, leaving the wrapper empty, for null.
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    // Deletes the held object; FALSE when there is none.
    BOOL DeleteObject();

    HGDIOBJ m_hObject = nullptr;
};

class CPalette : public CGdiObject
{
public:
    CPalette() = default;
    BOOL CreatePalette(const LOGPALETTE* record);
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }

    // The wrapper of a handle: the one it is attached to, or one that lives as
    // long as the handle does and never deletes it.
    static CPalette* FromHandle(HPALETTE palette);
};

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF color);
    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }

    static CBrush* FromHandle(HBRUSH brush);
};

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }

    static CPen* FromHandle(HPEN pen);
};

class CDC : public CObject
{
public:
    CDC() = default;
    ~CDC() override;

    HDC GetSafeHdc() const { return m_hDC; }

    BOOL Attach(HDC hdc);
    HDC Detach();
    // The wrapper of a handle that no wrapper owns; it lives as long as the
    // handle does and never deletes it.
    static CDC* FromHandle(HDC hdc);

    CPalette* SelectPalette(CPalette* palette, BOOL forceBackground);
    UINT RealizePalette();
    CBrush* SelectObject(CBrush* brush);
    CPen* SelectObject(CPen* pen);

    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const RECT* rect);
    void FillRect(const RECT* rect, CBrush* brush);
    COLORREF GetPixel(int x, int y) const;
    CPoint SetViewportOrg(int x, int y);
    int GetClipBox(RECT* rect) const;

    HDC m_hDC = nullptr;
};

// A context over a surface of its own, for drawing off screen.
class CSurfaceDC : public CDC
{
public:
    explicit CSurfaceDC(CSurface* surface);
};
