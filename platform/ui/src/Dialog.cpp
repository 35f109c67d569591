// The modal dialog: made from its template, run in a loop of its own, ended by buttons or keys.

#include "ui/Dialog.h"

#include "DevicePixels.h"
#include "DialogControls.h"
#include "DialogUnits.h"
#include "Hwnd.h"
#include "ui/ResourceProvider.h"
#include "ui/WinApp.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>

#include <vector>

struct CDialog::Loop
{
    QEventLoop events;
};

namespace {

// Paints what waits now, the dialog before its controls: what the dialog
// draws into a control is not then painted over by the control itself.
void PaintNow(HWND hwnd)
{
    ::UpdateWindow(hwnd);
    const std::vector<HWND> children = hwnd->children;
    for (HWND child : children)
        if (IsLiveWindow(child))
            PaintNow(child);
}

} // namespace

// ---- CDialog ------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

int CDialog::DoModal()
{
    const DLGTEMPLATE* dlg = AfxLoadDialog(m_nIDTemplate);
    if (!dlg || m_hWnd)
        return -1;
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (owner && !IsWindow(owner->m_hWnd))
        owner = nullptr;
    m_nModalResult = -1;
    m_bEnded = false;
    if (!CreateFromTemplate(*dlg, owner)) {
        DestroyWindow();
        return -1;
    }
    const HWND hwnd = m_hWnd;
    HWND first = nullptr;
    for (HWND child : hwnd->children)
        if (!first && (child->style & WS_TABSTOP))
            first = child;
    const bool chooseFocus = SendMessage(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0) != 0;

    int result = m_nModalResult;
    if (!m_bEnded && IsWindow(hwnd)) {
        ::ShowWindow(hwnd, SW_SHOW);
        hwnd->widget->activateWindow();
        if (chooseFocus && IsWindow(first))
            first->widget->setFocus(Qt::OtherFocusReason);
        PaintNow(hwnd);
        ModalRequest request{ModalKind::Dialog,
                             owner ? owner->m_hWnd : nullptr,
                             hwnd,
                             dlg->caption,
                             {},
                             m_nIDTemplate,
                             {}};
        result = RunModalLoop(request, [this](ModalRequest&) { return RunLoop(); });
    }
    if (IsWindow(hwnd)) {
        ::ShowWindow(hwnd, SW_HIDE);
        ::DestroyWindow(hwnd);
    }
    if (owner && IsWindow(owner->m_hWnd))
        owner->m_hWnd->widget->activateWindow();
    return result;
}

BOOL CDialog::CreateFromTemplate(const DLGTEMPLATE& dlg, CWnd* pOwner)
{
    InitWindowSystem();
    // Placed among the widgets in logical pixels; its controls get device pixels.
    const QWidget* near = pOwner ? pOwner->m_hWnd->widget : nullptr;
    const QSize size(UnitsToPixelsX(dlg.cx, 1), UnitsToPixelsY(dlg.cy, 1));
    QRect area; // what the dialog is placed over, in screen pixels
    if (pOwner)
        area = pOwner->m_hWnd->widget->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    QPoint at = area.topLeft() + QPoint(UnitsToPixelsX(dlg.x, 1), UnitsToPixelsY(dlg.y, 1));
    // At 0, 0 the dialog is centred over its owner.
    if (dlg.x == 0 && dlg.y == 0)
        at = area.center() - QPoint(size.width() / 2, size.height() / 2);
    const CRect rect = ToDevice(near, QRect(at, size));
    const DWORD style = dlg.style & ~(WS_VISIBLE | WS_CHILD);
    if (!CreateEx(dlg.dwExtendedStyle, nullptr, dlg.caption, style, rect, pOwner, 0))
        return FALSE;

    QWidget* widget = m_hWnd->widget;
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowCloseButtonHint;
    widget->setWindowFlags(flags);
    widget->setWindowModality(Qt::ApplicationModal);
    // Without a resizing border the dialog keeps the template's size.
    widget->setFixedSize(size);
    widget->setGeometry(QRect(at, size));
    QFont font = QApplication::font();
    font.setPixelSize(MulDivRound(dlg.pointSize, kPixelsPerInch, kPointsPerInch));
    widget->setFont(font);
    widget->installEventFilter(new DialogKeys(widget));
    const COLORREF face = FaceColor();
    SetFace(m_hWnd, face);
    ApplyClientSize(m_hWnd);

    for (const DLGITEMTEMPLATE& item : dlg.items)
        if (!CreateControl(*this, item, face))
            return FALSE;
    return TRUE;
}

int CDialog::RunLoop()
{
    if (!m_bEnded && IsWindow(m_hWnd)) {
        Loop loop;
        m_pLoop = &loop;
        loop.events.exec(QEventLoop::DialogExec);
        m_pLoop = nullptr;
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bEnded = true;
    if (m_pLoop)
        m_pLoop->events.exit(nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = m_hWnd;
    const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    // A paint handler may draw only into a control and leave the dialog's
    // own request open; it is closed here, so that it is not made again.
    if (message == WM_PAINT && IsLiveWindow(hwnd) && !hwnd->invalid.IsRectEmpty()) {
        PAINTSTRUCT ps;
        ::BeginPaint(hwnd, &ps);
        ::EndPaint(hwnd, &ps);
    }
    return result;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The close box cancels, as Esc does, rather than destroying the window.
    if (message == WM_CLOSE) {
        SendCommand(m_hWnd, IDCANCEL, ::GetDlgItem(m_hWnd, IDCANCEL));
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDialog::PostNcDestroy()
{
    // A dialog destroyed by someone else while it runs ends as cancelled.
    if (m_pLoop && !m_bEnded)
        EndDialog(IDCANCEL);
}
