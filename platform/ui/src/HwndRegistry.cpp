// The handle registry: windows made and destroyed, their tree, place, size and visibility.

#include "DevicePixels.h"
#include "HwndInternal.h"
#include "ToolkitText.h"
#include "ui/MessageLoop.h"

#include <QApplication>

#include <algorithm>
#include <cstdint>

std::unordered_set<HWND>& LiveWindows()
{
    static std::unordered_set<HWND> windows;
    return windows;
}

bool IsChild(HWND hwnd)
{
    return (hwnd->style & WS_CHILD) != 0;
}

CRect ClientRect(HWND hwnd)
{
    const QWidget* w = hwnd->widget;
    return CRect(0, 0, std::max(ToDevice(w, w->width()) - hwnd->nonClient.cx, 0),
                 std::max(ToDevice(w, w->height()) - hwnd->nonClient.cy, 0));
}

// A window's own geometry in its parent's device pixels.
CRect DeviceGeometry(HWND hwnd)
{
    const QWidget* w = hwnd->widget;
    const QRect g = w->geometry();
    const int x = ToDevice(w, g.x()), y = ToDevice(w, g.y());
    return CRect(x, y, x + ToDevice(w, g.width()), y + ToDevice(w, g.height()));
}

namespace {

void FreeWindow(HWND hwnd);

// WM_DESTROY goes to a window before its children.
void SendDestroy(HWND hwnd)
{
    hwnd->destroying = true;
    if (g_capture == hwnd)
        ReleaseCapture();
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = hwnd->children;
    for (HWND child : children)
        if (IsLiveWindow(child))
            SendDestroy(child);
}

// WM_NCDESTROY goes to the children first; then the handle is gone.
void SendNcDestroy(HWND hwnd)
{
    const std::vector<HWND> children = hwnd->children;
    for (HWND child : children)
        if (IsLiveWindow(child))
            SendNcDestroy(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    FreeWindow(hwnd);
}

void FreeWindow(HWND hwnd)
{
    if (hwnd->parent) {
        auto& siblings = hwnd->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    }
    for (auto it = WindowDCs().begin(); it != WindowDCs().end();) {
        if (it->second == hwnd) {
            DeleteDC(it->first);
            it = WindowDCs().erase(it);
        } else {
            ++it;
        }
    }
    LiveWindows().erase(hwnd);
    if (g_capture == hwnd)
        g_capture = nullptr;
    if (g_lastInactive == hwnd)
        g_lastInactive = nullptr;
    if (hwnd->wnd && hwnd->wnd->m_hWnd == hwnd)
        hwnd->wnd->m_hWnd = nullptr;
    if (hwnd->borrowed)
        hwnd->borrowed->m_hWnd = nullptr;
    // The widget may be inside one of its own event handlers: it goes once
    // control is back in the event loop.
    hwnd->widget->m_hwnd = nullptr;
    hwnd->widget->hide();
    hwnd->widget->deleteLater();
    delete hwnd;
}

} // namespace

// ---- The window system ------------------------------------------------------------

void InitWindowSystem()
{
    static bool ready = false;
    if (ready)
        return;
    EnsureApplication();
    // Windows end when the program destroys them, and the program ends when
    // it says so, not when Qt sees the last window go.
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(new CaptureFilter);
    SetPaletteRealizedHook(&PaletteRealized);
    ready = true;
}

bool IsLiveWindow(HWND hwnd)
{
    return hwnd && LiveWindows().count(hwnd) != 0;
}

QWidget* WidgetOf(HWND hwnd)
{
    return IsLiveWindow(hwnd) ? hwnd->widget : nullptr;
}

HWND WindowOfWidget(const QWidget* widget)
{
    auto* ours = dynamic_cast<const WindowWidget*>(widget);
    return ours ? ours->m_hwnd : nullptr;
}

HWND CreateWindowHandle(CWnd* owner, const CREATESTRUCT& cs)
{
    InitWindowSystem();
    const DWORD style = static_cast<DWORD>(cs.style);
    const bool child = (style & WS_CHILD) != 0;
    if (cs.hwndParent ? !IsLiveWindow(cs.hwndParent) : child)
        return nullptr;

    auto* hwnd = new HWND__;
    hwnd->style = style & ~WS_VISIBLE;
    hwnd->exStyle = cs.dwExStyle;
    hwnd->text = cs.lpszName;
    if (child) {
        hwnd->parent = cs.hwndParent;
        hwnd->id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(cs.hMenu));
        hwnd->widget = new WindowWidget(hwnd, cs.hwndParent->widget, Qt::Widget);
        // Shown only by WS_VISIBLE or ShowWindow, not along with the parent.
        hwnd->widget->hide();
        hwnd->widget->setGeometry(LogicalGeometry(hwnd->widget, cs.x, cs.y, cs.cx, cs.cy));
        cs.hwndParent->children.push_back(hwnd);
    } else {
        hwnd->owner = cs.hwndParent;
        QWidget* ownerWidget = cs.hwndParent ? cs.hwndParent->widget : nullptr;
        hwnd->widget = new WindowWidget(hwnd, ownerWidget, Qt::Window);
        QWidget* w = hwnd->widget;
        if (cs.x != CW_USEDEFAULT)
            w->move(ToLogical(w, cs.x), ToLogical(w, cs.y));
        if (cs.cx != CW_USEDEFAULT)
            w->resize(ToLogical(w, std::max(cs.cx, 0)), ToLogical(w, std::max(cs.cy, 0)));
        hwnd->widget->setWindowTitle(ToolkitText(hwnd->text));
    }
    const CRect client = ClientRect(hwnd);
    hwnd->surface.Reset(client.Width(), client.Height(), hwnd->background);
    LiveWindows().insert(hwnd);
    hwnd->wnd = owner;
    if (owner)
        owner->m_hWnd = hwnd;
    return hwnd;
}

void ApplyClientSize(HWND hwnd)
{
    const CRect client = ClientRect(hwnd);
    const QSize size(client.Width(), client.Height());
    if (hwnd->surface.Width() != size.width() || hwnd->surface.Height() != size.height()) {
        // The old picture is not kept: the whole area is painted again.
        hwnd->surface.Reset(size.width(), size.height(), hwnd->background);
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    const CSize reported(size.width(), size.height());
    if (hwnd->sizeReported && hwnd->reportedSize == reported)
        return;
    hwnd->sizeReported = true;
    hwnd->reportedSize = reported;
    const UINT type = hwnd->widget->isMinimized()   ? SIZE_MINIMIZED
                      : hwnd->widget->isMaximized() ? SIZE_MAXIMIZED
                                                    : SIZE_RESTORED;
    SendMessageA(hwnd, WM_SIZE, type,
                 MAKELPARAM(static_cast<WORD>(size.width()), static_cast<WORD>(size.height())));
}

void SetNonClientArea(HWND hwnd, int right, int bottom)
{
    if (!IsLiveWindow(hwnd))
        return;
    const CSize strips(std::max(right, 0), std::max(bottom, 0));
    if (hwnd->nonClient == strips)
        return;
    hwnd->nonClient = strips;
    hwnd->widget->update();
    ApplyClientSize(hwnd);
}

// ---- Window calls ---------------------------------------------------------------------

BOOL IsWindow(HWND hWnd)
{
    return IsLiveWindow(hWnd);
}

BOOL DestroyWindow(HWND hWnd)
{
    if (!IsLiveWindow(hWnd) || hWnd->destroying)
        return FALSE;
    // Windows shown in the parent leave a hole that the parent paints over.
    if (IsChild(hWnd) && hWnd->widget->isVisible()) {
        const CRect area = DeviceGeometry(hWnd);
        InvalidateRect(hWnd->parent, &area, TRUE);
    }
    SendDestroy(hWnd);
    if (IsLiveWindow(hWnd))
        SendNcDestroy(hWnd);
    return TRUE;
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    if (!IsWindow(hWnd))
        return FALSE;
    QWidget* widget = hWnd->widget;
    const BOOL wasVisible = !widget->isHidden();
    if (nCmdShow == SW_HIDE) {
        if (wasVisible && IsChild(hWnd) && widget->isVisible()) {
            const CRect area = DeviceGeometry(hWnd);
            InvalidateRect(hWnd->parent, &area, TRUE);
        }
        widget->hide();
        hWnd->style &= ~WS_VISIBLE;
        return wasVisible;
    }
    hWnd->style |= WS_VISIBLE;
    widget->setAttribute(Qt::WA_ShowWithoutActivating,
                         nCmdShow == SW_SHOWNA || nCmdShow == SW_SHOWNOACTIVATE);
    switch (nCmdShow) {
    case SW_SHOWMAXIMIZED:
        widget->showMaximized();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        widget->showMinimized();
        break;
    case SW_RESTORE:
        widget->showNormal();
        break;
    default:
        widget->show();
        break;
    }
    ApplyClientSize(hWnd);
    return wasVisible;
}

BOOL IsWindowVisible(HWND hWnd)
{
    return IsWindow(hWnd) && hWnd->widget->isVisible();
}

HWND GetParent(HWND hWnd)
{
    if (!IsLiveWindow(hWnd))
        return nullptr;
    return IsChild(hWnd) ? hWnd->parent : hWnd->owner;
}

HWND GetDlgItem(HWND hDlg, int nID)
{
    if (!IsLiveWindow(hDlg))
        return nullptr;
    for (HWND child : hDlg->children)
        if (child->id == static_cast<UINT>(nID))
            return child;
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    return IsLiveWindow(hWnd) ? static_cast<int>(hWnd->id) : 0;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    if (!IsLiveWindow(hWnd) || !lpRect)
        return FALSE;
    *lpRect = ClientRect(hWnd);
    return TRUE;
}

BOOL MoveWindow(HWND hWnd, int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (!IsWindow(hWnd))
        return FALSE;
    QWidget* widget = hWnd->widget;
    const CRect before = DeviceGeometry(hWnd);
    widget->setGeometry(LogicalGeometry(widget, x, y, nWidth, nHeight));
    if (bRepaint && IsChild(hWnd) && widget->isVisible())
        InvalidateRect(hWnd->parent, &before, TRUE);
    ApplyClientSize(hWnd);
    return TRUE;
}

HWND GetActiveWindow()
{
    return QApplication::instance() ? WindowOfWidget(QApplication::activeWindow()) : nullptr;
}

void SetWindowBackground(HWND hWnd, COLORREF color)
{
    if (IsLiveWindow(hWnd))
        hWnd->background = color;
}
