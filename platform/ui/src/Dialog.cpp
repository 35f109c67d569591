// Dialogs: a window and its controls made from a template, and the modal
// loop that runs them.

#include "ui/Dialog.h"

#include "DevicePixels.h"
#include "Hwnd.h"
#include "Pictures.h"
#include "gdi/Dc.h"
#include "ui/ResourceProvider.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

struct CDialog::Loop
{
    QEventLoop events;
};

namespace {

CWnd* g_pMainWnd = nullptr;

// The 8-point dialog font's average character width and height.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
// The size an icon is shown at: its own.
constexpr int kIconSize = 32;
// Points are 1/72 inch; the window layer's pixels are 1/96 inch.
constexpr int kPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;

// value * numerator / denominator, rounded to nearest with halves away from
// zero, so that a unit and its mirror image map to the same size.
int MulDivRound(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    const long long q =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(q);
}

// Dialog units in device pixels at the given pixel ratio, rounded to nearest
// with halves away from zero like MulDivRound.
int UnitsToPixelsX(int units, qreal ratio)
{
    return static_cast<int>(std::lround(units * kBaseUnitX * ratio / 4));
}

int UnitsToPixelsY(int units, qreal ratio)
{
    return static_cast<int>(std::lround(units * kBaseUnitY * ratio / 8));
}

COLORREF ToColorRef(const QColor& c)
{
    return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()),
               static_cast<BYTE>(c.blue()));
}

// The face of dialogs and their controls, the same one Qt's buttons use.
COLORREF FaceColor()
{
    return ToColorRef(QApplication::palette().color(QPalette::Window));
}

void SetFace(HWND hwnd, COLORREF face)
{
    SetWindowBackground(hwnd, face);
    hwnd->surface.Fill(face);
}

bool IsKind(const char* windowClass, const char* name)
{
    return windowClass && QString::fromLatin1(windowClass)
                                  .compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0;
}

// ---- Controls -----------------------------------------------------------------------

// A static control: text, an icon, or an etched frame whose outline lies just
// outside it, so that all of its client area is free for whoever paints into it.
class CStaticControl final : public CWnd
{
protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        const RECT& paint = dc.m_ps.rcPaint;
        const CRect clip(paint.left, paint.top, paint.right, paint.bottom);
        const DWORD style = GetStyle();
        const HWND hwnd = m_hWnd;
        switch (style & SS_TYPEMASK) {
        case SS_ICON:
            DrawIcon(hwnd->surface, clip, ResourceOrdinal(hwnd->text.GetString()),
                     hwnd->surface.Width());
            break;
        case SS_ETCHEDFRAME:
            break;
        default: {
            QImage image = SurfaceImage(hwnd);
            QPainter painter(&image);
            painter.setClipRect(ToLogical(hwnd->widget, clip));
            painter.setFont(hwnd->widget->font());
            painter.setPen(QApplication::palette().color(QPalette::WindowText));
            int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            if (!(style & SS_NOPREFIX))
                flags |= Qt::TextShowMnemonic;
            painter.drawText(QRectF(QPointF(0, 0), image.deviceIndependentSize()), flags,
                             QString::fromLatin1(hwnd->text.GetString()));
            break;
        }
        }
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const HWND hwnd = m_hWnd;
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (message == WM_SETTEXT)
            ::InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }

    void PostNcDestroy() override { delete this; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CStaticControl, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

// A push button: one of Qt's, filling a window of ours, that sends its
// dialog WM_COMMAND when pressed.
class CButtonControl final : public CWnd
{
public:
    QPointer<QPushButton> m_button;

protected:
    void OnSize(UINT, int cx, int cy)
    {
        if (m_button)
            m_button->setGeometry(0, 0, cx, cy);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (message == WM_SETTEXT && m_button)
            m_button->setText(QString::fromLatin1(reinterpret_cast<LPCSTR>(lParam)));
        return result;
    }

    void PostNcDestroy() override { delete this; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonControl, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void SendCommand(HWND dialog, int id, HWND control)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

void AttachPushButton(CButtonControl& control, bool isDefault)
{
    const HWND hwnd = control.m_hWnd;
    auto* button = new QPushButton(QString::fromLatin1(hwnd->text.GetString()), hwnd->widget);
    button->setGeometry(hwnd->widget->rect());
    button->setDefault(isDefault);
    button->show();
    hwnd->widget->setFocusProxy(button);
    control.m_button = button;
    QObject::connect(button, &QPushButton::clicked, [hwnd] {
        if (IsLiveWindow(hwnd) && IsLiveWindow(hwnd->parent))
            SendCommand(hwnd->parent, static_cast<int>(hwnd->id), hwnd);
    });
}

// The sunken etched outline of a frame control, two pixels wide, drawn
// around the frame by the dialog. It follows the frame's place and visibility.
class EtchedOutline final : public QWidget
{
public:
    EtchedOutline(QWidget* frame) : QWidget(frame->parentWidget()), m_frame(frame)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        Follow();
        stackUnder(frame);
        frame->installEventFilter(this);
        QObject::connect(frame, &QObject::destroyed, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_frame) {
            switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide:
                Follow();
                break;
            default:
                break;
            }
        }
        return false;
    }

    void paintEvent(QPaintEvent*) override
    {
        const QColor shadow = QApplication::palette().color(QPalette::Dark);
        const QColor light = QApplication::palette().color(QPalette::Light);
        const int r = width() - 1, b = height() - 1;
        QPainter p(this);
        // Outer ring: dark above and to the left, light below and to the right;
        // the inner ring the other way round.
        p.setPen(shadow);
        p.drawLine(0, 0, r - 1, 0);
        p.drawLine(0, 0, 0, b - 1);
        p.drawLine(1, b - 1, r - 1, b - 1);
        p.drawLine(r - 1, 1, r - 1, b - 1);
        p.setPen(light);
        p.drawLine(1, 1, r - 2, 1);
        p.drawLine(1, 1, 1, b - 2);
        p.drawLine(0, b, r, b);
        p.drawLine(r, 0, r, b);
    }

private:
    void Follow()
    {
        setGeometry(m_frame->geometry().adjusted(-2, -2, 2, 2));
        setVisible(!m_frame->isHidden());
    }

    QWidget* m_frame;
};

// Enter presses the focused push button, or else the default one; Esc is
// IDCANCEL. Keys reach the dialog when no control took them.
class DialogKeys final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const HWND dialog = WindowOfWidget(static_cast<QWidget*>(watched));
        if (!dialog)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const HWND button = ButtonToPress(dialog);
            SendCommand(dialog, button ? static_cast<int>(button->id) : IDOK, button);
            return true;
        }
        case Qt::Key_Escape:
            SendCommand(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
            return true;
        default:
            return false;
        }
    }

private:
    static bool IsButton(HWND hwnd) { return dynamic_cast<CButtonControl*>(hwnd->wnd) != nullptr; }

    static HWND ButtonToPress(HWND dialog)
    {
        for (HWND child : dialog->children)
            if (IsButton(child) && child->widget->hasFocus())
                return child;
        for (HWND child : dialog->children)
            if (IsButton(child) && (child->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                return child;
        return nullptr;
    }
};

// A control of the template, in the dialog's pixels; false when it cannot be made.
bool CreateControl(CDialog& dialog, const DLGITEMTEMPLATE& item, COLORREF face)
{
    const qreal ratio = PixelRatio(dialog.m_hWnd->widget);
    const int x = UnitsToPixelsX(item.x, ratio), y = UnitsToPixelsY(item.y, ratio);
    CRect rect(x, y, x + UnitsToPixelsX(item.cx, ratio), y + UnitsToPixelsY(item.cy, ratio));
    const DWORD style = item.style | WS_CHILD;
    const UINT id = static_cast<UINT>(item.id);
    const bool button = IsKind(item.windowClass, "BUTTON");
    const DWORD kind = style & SS_TYPEMASK;
    if (!button && kind == SS_ICON) {
        const int side = static_cast<int>(std::lround(kIconSize * ratio));
        rect = CRect(x, y, x + side, y + side);
    }

    CWnd* control = button ? static_cast<CWnd*>(new CButtonControl) : new CStaticControl;
    // Shown with the dialog, not before: WS_VISIBLE waits until the setup is done.
    if (!control->CreateEx(item.dwExtendedStyle, item.windowClass, item.text, style & ~WS_VISIBLE,
                           rect, &dialog, id)) {
        delete control;
        return false;
    }
    const HWND hwnd = control->m_hWnd;
    SetFace(hwnd, face);
    if (button) {
        AttachPushButton(*static_cast<CButtonControl*>(control),
                         (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    } else {
        // A static without SS_NOTIFY lets the mouse through to the dialog.
        if (!(style & SS_NOTIFY))
            hwnd->widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        if (kind == SS_ETCHEDFRAME)
            new EtchedOutline(hwnd->widget);
    }
    if (style & WS_VISIBLE)
        ::ShowWindow(hwnd, SW_SHOWNA);
    return true;
}

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

// ---- The main window ------------------------------------------------------------------

CWnd* AfxGetMainWnd()
{
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* pWnd)
{
    g_pMainWnd = pWnd;
}

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
