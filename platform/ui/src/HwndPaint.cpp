// Painting at the handle level: what waits to be painted, scrolling, client contexts and palettes.

#include "DevicePixels.h"
#include "HwndInternal.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

// The client and paint contexts that are out, with their windows: a palette
// realised on one of them is that window's doing.
std::unordered_map<HDC, HWND>& WindowDCs()
{
    static std::unordered_map<HDC, HWND> dcs;
    return dcs;
}

bool g_composing = false;

namespace {

CRect Union(const CRect& a, const CRect& b)
{
    if (a.IsRectEmpty())
        return b;
    if (b.IsRectEmpty())
        return a;
    return CRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                 std::max(a.bottom, b.bottom));
}

bool Contains(const CRect& outer, const CRect& inner)
{
    return inner.IsRectEmpty() || (inner.left >= outer.left && inner.top >= outer.top &&
                                   inner.right <= outer.right && inner.bottom <= outer.bottom);
}

HDC OpenWindowDC(HWND hwnd, const CRect& clip)
{
    HDC dc = CreateSurfaceDC(&hwnd->surface);
    SetDeviceClipRect(dc, &clip);
    WindowDCs()[dc] = hwnd;
    return dc;
}

BOOL CloseWindowDC(HWND hwnd, HDC dc)
{
    auto it = WindowDCs().find(dc);
    if (it == WindowDCs().end() || it->second != hwnd)
        return FALSE;
    WindowDCs().erase(it);
    return DeleteDC(dc);
}

// The part of the client area not cut off by an ancestor; empty when the
// window is not shown. Windows stacked above it are not subtracted.
CRect VisibleClientRect(HWND hwnd)
{
    QWidget* widget = hwnd->widget;
    if (!widget->isVisible())
        return CRect();
    QRect visible = widget->rect();
    QPoint offset(0, 0); // the window's origin in the ancestor's coordinates
    for (QWidget* w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        visible &= w->parentWidget()->rect().translated(-offset);
    }
    if (visible.isEmpty())
        return CRect();
    CRect client = ClientRect(hwnd);
    client.IntersectRect(client, ToDevice(widget, visible));
    return client;
}

// Copies what the children show over the window's own pixels, so that a
// client context reads the client area as the screen shows it. A child of
// ours is copied from its surface, after its own children went over it; any
// other widget is asked to draw itself.
void ComposeChildren(HWND hwnd)
{
    const CRect client(0, 0, hwnd->surface.Width(), hwnd->surface.Height());
    for (QObject* object : hwnd->widget->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || child->isHidden())
            continue;
        // Children outside the client area (scroll bars) show nothing in it.
        CRect area = ToDevice(child, child->geometry());
        if (!area.IntersectRect(area, client))
            continue;
        auto* ours = dynamic_cast<WindowWidget*>(child);
        if (ours && ours->m_hwnd) {
            HWND c = ours->m_hwnd;
            ComposeChildren(c);
            const CRect placed = DeviceGeometry(c);
            area = CRect(placed.left, placed.top, placed.left + c->surface.Width(),
                         placed.top + c->surface.Height());
            if (!area.IntersectRect(area, client))
                continue;
            for (LONG y = area.top; y < area.bottom; ++y)
                std::memcpy(hwnd->surface.Row(y) + area.left,
                            c->surface.Row(y - placed.top) + (area.left - placed.left),
                            static_cast<size_t>(area.Width()) * sizeof(DWORD));
        } else {
            QImage image = SurfaceImage(hwnd);
            QPainter painter(&image);
            painter.setClipRect(child->geometry());
            g_composing = true;
            child->render(&painter, child->pos());
            g_composing = false;
        }
    }
}

} // namespace

// A foreground realisation on a window's context changed the system
// palette: every top-level window hears of it, naming that window.
void PaletteRealized(HDC hdc, UINT)
{
    auto it = WindowDCs().find(hdc);
    if (it == WindowDCs().end())
        return;
    const HWND source = it->second;
    std::vector<HWND> topLevel;
    for (HWND hwnd : LiveWindows())
        if (!IsChild(hwnd) && !hwnd->destroying)
            topLevel.push_back(hwnd);
    for (HWND hwnd : topLevel)
        if (IsLiveWindow(hwnd))
            SendMessageA(hwnd, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(source), 0);
}

void DispatchPaint(HWND hwnd)
{
    if (!hwnd->invalid.IsRectEmpty())
        SendMessageA(hwnd, WM_PAINT, 0, 0);
}

QImage SurfaceImage(HWND hwnd)
{
    CSurface& surface = hwnd->surface;
    QImage image(reinterpret_cast<uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                 static_cast<qsizetype>(surface.Width()) * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(PixelRatio(hwnd->widget));
    return image;
}

// ---- Painting ------------------------------------------------------------------------

BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    CRect area = ClientRect(hWnd);
    if (lpRect)
        area.IntersectRect(area, *lpRect);
    if (area.IsRectEmpty())
        return TRUE;
    hWnd->invalid = Union(hWnd->invalid, area);
    hWnd->erase = hWnd->erase || bErase;
    hWnd->widget->update(ToLogical(hWnd->widget, area));
    return TRUE;
}

BOOL ScrollWindow(HWND hWnd, int dx, int dy)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    const CRect client = ClientRect(hWnd);
    CSurface& surface = hWnd->surface;
    // Children would have to move too, and a shift of a whole size or more
    // keeps nothing: both repaint everything.
    if (!hWnd->children.empty() || std::abs(LONGLONG{dx}) >= client.Width() ||
        std::abs(LONGLONG{dy}) >= client.Height() || surface.Width() != client.Width() ||
        surface.Height() != client.Height())
        return InvalidateRect(hWnd, nullptr, TRUE);
    if (dx == 0 && dy == 0)
        return TRUE;

    // Move what stays visible, rows in the order that never overwrites a row
    // before it has been copied.
    const int w = client.Width(), h = client.Height();
    const int width = w - std::abs(dx);
    const int fromX = std::max(0, -dx), toX = std::max(0, dx);
    auto copyRow = [&](int y) {
        std::memmove(surface.Row(y + dy) + toX, surface.Row(y) + fromX, width * sizeof(DWORD));
    };
    if (dy > 0) {
        for (int y = h - 1 - dy; y >= 0; --y)
            copyRow(y);
    } else {
        for (int y = -dy; y < h; ++y)
            copyRow(y);
    }

    // What was waiting to be painted moves with the picture; the strips
    // uncovered by the move are painted afresh.
    if (!hWnd->invalid.IsRectEmpty()) {
        hWnd->invalid.OffsetRect(dx, dy);
        hWnd->invalid.IntersectRect(hWnd->invalid, client);
    }
    if (dx != 0) {
        const CRect strip = dx > 0 ? CRect(0, 0, dx, h) : CRect(w + dx, 0, w, h);
        InvalidateRect(hWnd, &strip, TRUE);
    }
    if (dy != 0) {
        const CRect strip = dy > 0 ? CRect(0, 0, w, dy) : CRect(0, h + dy, w, h);
        InvalidateRect(hWnd, &strip, TRUE);
    }
    hWnd->widget->update(); // the moved pixels reach the screen too
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, LPCRECT lpRect)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    // The marked area is one rectangle: only covering all of it validates.
    if (!lpRect ||
        Contains(CRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom), hWnd->invalid)) {
        hWnd->invalid.SetRectEmpty();
        hWnd->erase = false;
    }
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return FALSE;
    if (hWnd->widget->isVisible() && !hWnd->invalid.IsRectEmpty()) {
        const CRect area = hWnd->invalid;
        DispatchPaint(hWnd);
        hWnd->widget->update(ToLogical(hWnd->widget, area));
    }
    return TRUE;
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint)
{
    if (!IsLiveWindow(hWnd) || !lpPaint)
        return nullptr;
    CRect area;
    area.IntersectRect(hWnd->invalid, ClientRect(hWnd));
    const bool erase = hWnd->erase;
    hWnd->invalid.SetRectEmpty();
    hWnd->erase = false;

    const HDC dc = OpenWindowDC(hWnd, area);
    lpPaint->hdc = dc;
    lpPaint->rcPaint = area;
    lpPaint->fErase = FALSE;
    if (erase && !area.IsRectEmpty())
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!IsLiveWindow(hWnd) || !lpPaint || !CloseWindowDC(hWnd, lpPaint->hdc))
        return FALSE;
    // Inside Qt's own paint the screen copy follows anyway.
    if (!hWnd->inQtPaint)
        hWnd->widget->update(ToLogical(hWnd->widget, CRect(lpPaint->rcPaint)));
    return TRUE;
}

HDC GetDC(HWND hWnd)
{
    if (!IsWindow(hWnd))
        return nullptr;
    ComposeChildren(hWnd);
    return OpenWindowDC(hWnd, VisibleClientRect(hWnd));
}

int ReleaseDC(HWND hWnd, HDC hDC)
{
    if (!IsLiveWindow(hWnd) || !CloseWindowDC(hWnd, hDC))
        return 0;
    // Whatever was drawn reaches the screen at the next paint.
    hWnd->widget->update();
    return 1;
}
