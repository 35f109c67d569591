// Messages at the handle level: sending, the default processing and the window text.

#include "HwndInternal.h"
#include "ToolkitText.h"

#include <QString>

#include <algorithm>
#include <cstring>

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsLiveWindow(hWnd))
        return 0;
    if (hWnd->wnd)
        return hWnd->wnd->WindowProc(message, wParam, lParam);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT DefWindowProcA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsLiveWindow(hWnd))
        return 0;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT box;
        if (GetClipBox(dc, &box)) {
            const HBRUSH brush = CreateSolidBrush(hWnd->background);
            FillRect(dc, &box, brush);
            DeleteObject(brush);
        }
        return 1;
    }
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_KEYDOWN:
        g_keyUnhandled = true;
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // A window that does not scroll lets the one around it try.
        return IsChild(hWnd) ? SendMessageA(hWnd->parent, message, wParam, lParam) : 0;
    case WM_SETTEXT:
        hWnd->text = reinterpret_cast<LPCSTR>(lParam);
        if (!IsChild(hWnd))
            hWnd->widget->setWindowTitle(ToolkitText(hWnd->text));
        return TRUE;
    case WM_GETTEXT: {
        const int capacity = static_cast<int>(wParam);
        auto* buffer = reinterpret_cast<char*>(lParam);
        if (capacity <= 0 || !buffer)
            return 0;
        const int n = std::min(hWnd->text.GetLength(), capacity - 1);
        std::memcpy(buffer, hWnd->text.GetString(), static_cast<size_t>(n));
        buffer[n] = '\0';
        return n;
    }
    case WM_GETTEXTLENGTH:
        return hWnd->text.GetLength();
    default:
        return 0;
    }
}

BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString)
{
    if (!IsLiveWindow(hWnd))
        return FALSE;
    return static_cast<BOOL>(
        SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")));
}

int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT,
                                         static_cast<WPARAM>(std::max(nMaxCount, 0)),
                                         reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLengthA(HWND hWnd)
{
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
