// What the window-layer tests share: resources, top-level windows, messages seen, pixels shown.
#pragma once

#include "Hwnd.h"
#include "resources/Resources.h"
#include "ui/MessageLoop.h"
#include "ui/Modal.h"
#include "ui/ResourceProvider.h"
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

// The program's resources for a test's life; what was there before, and the
// application name message boxes elsewhere go by, come back afterwards.
class ProgramResources
{
public:
    ProgramResources()
        : m_previous(AfxSetResourceProvider(&GetResourceProvider())), m_name(AfxGetAppName())
    {
    }
    ~ProgramResources()
    {
        AfxSetResourceProvider(m_previous);
        AfxSetAppName(m_name.c_str());
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;

private:
    const ResourceProvider* m_previous;
    std::string m_name;
};

// A top-level window of the given client size at the screen's corner.
inline bool MakeTop(CWnd& wnd, int width, int height, DWORD style = WS_VISIBLE)
{
    return wnd.CreateEx(0, nullptr, "test", WS_OVERLAPPEDWINDOW | style, CRect(0, 0, width, height),
                        nullptr, 0);
}

inline CRect ClientOf(HWND hwnd)
{
    CRect r;
    GetClientRect(hwnd, &r);
    return r;
}

inline std::string TextOf(HWND hwnd)
{
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

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
