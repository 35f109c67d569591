// Dialog controls: static text, icons and etched frames, push buttons, and the keys of a dialog.

#include "DialogControls.h"

#include "DevicePixels.h"
#include "DialogUnits.h"
#include "Pictures.h"
#include "ToolkitText.h"
#include "ui/ResourceProvider.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace {

// The size an icon is shown at: its own.
constexpr int kIconSize = 32;

COLORREF ToColorRef(const QColor& c)
{
    return RGB(static_cast<BYTE>(c.red()), static_cast<BYTE>(c.green()),
               static_cast<BYTE>(c.blue()));
}

} // namespace

COLORREF FaceColor()
{
    return ToColorRef(QApplication::palette().color(QPalette::Window));
}

void SetFace(HWND hwnd, COLORREF face)
{
    SetWindowBackground(hwnd, face);
    hwnd->surface.Fill(face);
}

namespace {

bool IsKind(const char* windowClass, const char* name)
{
    return windowClass &&
           ToolkitText(windowClass).compare(ToolkitText(name), Qt::CaseInsensitive) == 0;
}

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
                             ToolkitText(hwnd->text));
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
            m_button->setText(ToolkitText(reinterpret_cast<LPCSTR>(lParam)));
        return result;
    }

    void PostNcDestroy() override { delete this; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonControl, CWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

} // namespace

void SendCommand(HWND dialog, int id, HWND control)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

namespace {

void AttachPushButton(CButtonControl& control, bool isDefault)
{
    const HWND hwnd = control.m_hWnd;
    auto* button = new QPushButton(ToolkitText(hwnd->text), hwnd->widget);
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

} // namespace

bool DialogKeys::eventFilter(QObject* watched, QEvent* event)
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

bool DialogKeys::IsButton(HWND hwnd)
{
    return dynamic_cast<CButtonControl*>(hwnd->wnd) != nullptr;
}

HWND DialogKeys::ButtonToPress(HWND dialog)
{
    for (HWND child : dialog->children)
        if (IsButton(child) && child->widget->hasFocus())
            return child;
    for (HWND child : dialog->children)
        if (IsButton(child) && (child->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return child;
    return nullptr;
}

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
