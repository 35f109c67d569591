#pragma once

// What the window-layer tests share: messages as handlers saw them, and the
// colours a window holds and shows.

#include "Hwnd.h"
#include "ui/MessageLoop.h"
#include "ui/Wnd.h"

#include <QColor>
#include <QImage>
#include <QWidget>

#include <string>
#include <vector>

namespace uitest {

// A message as a handler saw it.
struct Seen
{
    std::string who;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The colour at a client point as a client context reads it.
inline COLORREF ReadPixel(HWND hwnd, int x, int y)
{
    const HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// The colour Qt shows at a client point, in the same form.
inline COLORREF ScreenPixel(HWND hwnd, int x, int y)
{
    const QImage shot = WidgetOf(hwnd)->grab().toImage();
    const QColor c = shot.pixelColor(x, y);
    return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()),
               static_cast<BYTE>(c.blue()));
}

inline void Fill(HDC dc, const RECT& r, COLORREF color)
{
    const HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

} // namespace uitest
