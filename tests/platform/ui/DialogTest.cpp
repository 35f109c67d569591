// Dialogs from the program's templates, the ways they end, message boxes and UTF-8 captions.

#include "ui/Dialog.h"

#include "UiTestSupport.h"
#include "ui/WinApp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using uitest::ClientOf;
using uitest::ReadPixel;
using uitest::TextOf;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// Where a window sits: a control in its dialog's client area, a dialog on the screen.
CRect PlaceOf(HWND hwnd)
{
    const QRect g = WidgetOf(hwnd)->geometry();
    return CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

// Records how it was set up and how it ended.
class CRecordingDialog : public CDialog
{
public:
    using CDialog::CDialog;

    int m_inits = 0;
    std::vector<std::string> m_calls;

    BOOL OnInitDialog() override
    {
        ++m_inits;
        return CDialog::OnInitDialog();
    }
    void OnOK() override
    {
        m_calls.push_back("OnOK");
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        m_calls.push_back("OnCancel");
        CDialog::OnCancel();
    }
    void EndDialog(int nResult) override
    {
        m_calls.push_back("EndDialog " + std::to_string(nResult));
        CDialog::EndDialog(nResult);
    }
};

// Paints only into its frame control, as the palette dialog does.
class CFramePaintingDialog : public CDialog
{
public:
    CFramePaintingDialog() : CDialog(IDD_PALETTE) {}

    std::vector<CPoint> m_moves;
    int m_paints = 0;

protected:
    void OnPaint()
    {
        ++m_paints;
        CWnd* frame = GetDlgItem(IDC_PALETTE_SWATCH);
        CPaintDC dc(frame);
        CRect area;
        frame->GetClientRect(&area);
        CBrush brush(kRed);
        dc.FillRect(&area, &brush);
    }
    void OnMouseMove(UINT, CPoint point) { m_moves.push_back(point); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFramePaintingDialog, CDialog)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

class Dialog : public testing::Test
{
protected:
    void TearDown() override
    {
        AfxSetMainWnd(nullptr);
        PumpMessages();
    }

    // Runs the dialog with `act` standing in for the user; returns DoModal's result.
    static int Run(CDialog& dialog, const std::function<int(HWND)>& act)
    {
        CModalHandlerScope scope([&](ModalRequest& request) {
            EXPECT_EQ(request.kind, ModalKind::Dialog);
            EXPECT_TRUE(IsWindowVisible(request.hWnd));
            return act(request.hWnd);
        });
        return dialog.DoModal();
    }

    uitest::ProgramResources resources;
};

TEST_F(Dialog, TemplatesBecomeWindowsAtSixByThirteenBaseUnits)
{
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              CRect(100, 80, 900, 680), nullptr, 0)); // away from the corner
    AfxSetMainWnd(&main);
    CRecordingDialog about(IDD_ABOUTBOX);
    Run(about, [&](HWND hwnd) {
        // 217 x 55 units: 325.5 rounds up to 326, 89.375 down to 89.
        EXPECT_EQ(ClientOf(hwnd), CRect(0, 0, 326, 89));
        // Without a parent: owned by the main window, and centred over it.
        EXPECT_EQ(GetParent(hwnd), main.m_hWnd);
        const CRect place = PlaceOf(hwnd), over = PlaceOf(main);
        EXPECT_LE(std::abs(place.left + place.right - over.left - over.right), 2);
        EXPECT_LE(std::abs(place.top + place.bottom - over.top - over.bottom), 2);

        // Every control is a child window, in template order.
        const std::vector<HWND> controls = hwnd->children;
        EXPECT_EQ(controls.size(), 4u);
        EXPECT_EQ(GetDlgItem(hwnd, IDC_STATIC), controls.at(0));
        EXPECT_EQ(PlaceOf(controls[0]), CRect(17, 28, 49, 60)); // the icon's own 32 x 32
        EXPECT_EQ(GetDlgItem(hwnd, IDOK), controls[3]);
        auto* button = WidgetOf(controls[3])->findChild<QPushButton*>();
        EXPECT_TRUE(button && button->isDefault() && button->text() == "OK");

        // The icon is drawn through its mask: some of its square shows the face.
        const COLORREF face = ReadPixel(hwnd, 2, 2);
        int iconFace = 0;
        for (int y = 28; y < 60; ++y)
            for (int x = 17; x < 49; ++x)
                iconFace += ReadPixel(hwnd, x, y) == face;
        EXPECT_GT(iconFace, 0);
        EXPECT_LT(iconFace, 32 * 32 / 2);
        return IDOK;
    });
}

TEST_F(Dialog, EnterOkEscAndTheCloseBoxEndItThroughOkAndCancelAndTheHandlersAnswerIsTheResult)
{
    auto key = [](QWidget* target, int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    };
    struct Case
    {
        const char* name;
        std::function<void(HWND)> act;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"Enter with no control taking it presses the default button",
         [&](HWND dlg) { key(WidgetOf(dlg), Qt::Key_Return); },
         {"OnOK", "EndDialog 1"}},
        {"a click on OK",
         [](HWND dlg) { WidgetOf(GetDlgItem(dlg, IDOK))->findChild<QPushButton*>()->click(); },
         {"OnOK", "EndDialog 1"}},
        {"Esc, passed up from the button",
         [&](HWND dlg) { key(WidgetOf(GetDlgItem(dlg, IDOK))->focusProxy(), Qt::Key_Escape); },
         {"OnCancel", "EndDialog 2"}},
        {"the close box", [](HWND dlg) { WidgetOf(dlg)->close(); }, {"OnCancel", "EndDialog 2"}},
    };
    // One object for all: each run starts afresh from the template.
    CRecordingDialog about(IDD_ABOUTBOX);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        about.m_calls.clear();
        const int inits = about.m_inits;
        HWND seen = nullptr;
        EXPECT_EQ(Run(about,
                      [&](HWND hwnd) {
                          seen = hwnd;
                          EXPECT_EQ(about.m_inits, inits + 1); // initialised before it runs
                          EXPECT_EQ(TextOf(hwnd), "About Pixmora");
                          c.act(hwnd);
                          EXPECT_TRUE(IsWindow(hwnd)); // ended, not destroyed, until it returns
                          SetWindowTextA(hwnd, "changed");
                          return 42;
                      }),
                  42);
        EXPECT_FALSE(IsWindow(seen));
        EXPECT_EQ(about.m_hWnd, nullptr);
        EXPECT_EQ(about.m_calls, c.calls);
    }

    // No template: nothing is shown and nothing asked.
    CRecordingDialog missing(4242);
    int asked = 0;
    CModalHandlerScope scope([&](ModalRequest&) { return ++asked; });
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(asked + missing.m_inits, 0);
}

TEST_F(Dialog, TheRealLoopRunsUntilEnterEndsIt)
{
    const ModalHandler outer = SetModalHandler(nullptr);
    auto visibleDialog = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (WindowOfWidget(w) && w->isVisible() && w->windowTitle() == "About Pixmora")
                return w;
        return static_cast<QWidget*>(nullptr);
    };
    QTimer::singleShot(0, [&] {
        if (QWidget* w = visibleDialog())
            QTest::keyClick(w, Qt::Key_Return);
    });
    // Should Enter fail, Esc ends the loop anyway and the result tells.
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        if (QWidget* w = visibleDialog())
            QTest::keyClick(w, Qt::Key_Escape);
    });
    rescue.start(5000);
    CRecordingDialog about(IDD_ABOUTBOX);
    EXPECT_EQ(about.DoModal(), IDOK);
    rescue.stop();
    SetModalHandler(outer);
    EXPECT_EQ(about.m_calls, (std::vector<std::string>{"OnOK", "EndDialog 1"}));
}

TEST_F(Dialog, WhatIsPaintedIntoTheFrameIsWhatTheDialogReadsAndTheMouseFindsIt)
{
    CFramePaintingDialog dialog;
    Run(dialog, [&](HWND hwnd) {
        const COLORREF face = ReadPixel(hwnd, 3, 3);
        EXPECT_NE(face, kRed);
        // The frame's client area spans (11, 11) to (391, 189), every pixel red.
        for (const CPoint p :
             {CPoint(11, 11), CPoint(391, 11), CPoint(11, 189), CPoint(391, 189), CPoint(200, 100)})
            EXPECT_EQ(ReadPixel(hwnd, p.x, p.y), kRed) << p.x << ", " << p.y;
        // Its etched outline lies just outside, in neither the face nor red.
        for (const CPoint p :
             {CPoint(10, 100), CPoint(392, 100), CPoint(200, 9), CPoint(200, 191)}) {
            EXPECT_NE(ReadPixel(hwnd, p.x, p.y), kRed) << p.x << ", " << p.y;
            EXPECT_NE(ReadPixel(hwnd, p.x, p.y), face) << p.x << ", " << p.y;
        }
        EXPECT_EQ(ReadPixel(hwnd, 200, 194), face);
        // Painting only the frame still answers the dialog's own paint request.
        EXPECT_EQ(dialog.m_paints, 1);
        PumpMessages();
        EXPECT_EQ(dialog.m_paints, 1);

        // Movement over the frame reaches the dialog; over the OK button it does not.
        QWindow* window = WidgetOf(hwnd)->windowHandle();
        QTest::mouseMove(window, QPoint(30, 40));
        QTest::mouseMove(window, QPoint(200, 210));
        EXPECT_EQ(dialog.m_moves, std::vector<CPoint>{CPoint(30, 40)});
        return IDOK;
    });
}

// A caption shows the program's UTF-8 text as written.
TEST(ToolkitText, ProgramTextReachesTheToolkitAsUtf8)
{
    const char* title = "caf\xC3\xA9.bmp - Pixmora";
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, CRect(0, 0, 80, 60), nullptr, 0));
    EXPECT_EQ(WidgetOf(wnd)->windowTitle(), QString::fromUtf8(title));
    wnd.SetWindowText("\xC3\xBC");
    EXPECT_EQ(WidgetOf(wnd)->windowTitle(), QString(QChar(0xFC)));
    wnd.DestroyWindow();
}

TEST(Modal, HandlerAnswersInPlaceOfTheLoopInnermostFirst)
{
    std::vector<ModalRequest> asked;
    CWnd wnd;
    ASSERT_TRUE(uitest::MakeTop(wnd, 50, 50, 0));
    {
        CModalHandlerScope scope([&](ModalRequest& r) {
            asked.push_back(r);
            return asked.size() == 1 ? IDOK : IDNO;
        });
        EXPECT_EQ(AfxMessageBox("a"), IDOK);
        EXPECT_EQ(wnd.MessageBox("b", "Question", MB_YESNO), IDNO);
        {
            CModalHandlerScope inner([](ModalRequest&) { return IDCANCEL; });
            EXPECT_EQ(AfxMessageBox("c", MB_OKCANCEL), IDCANCEL);
        }
        EXPECT_TRUE(SetModalHandler(nullptr)); // the inner scope put the outer one back
    }
    // The application's name captions a box that names none.
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].kind, ModalKind::MessageBox);
    EXPECT_STREQ(asked[0].caption.GetString(), AfxGetAppName());
    EXPECT_EQ(asked[0].type, MB_OK);
    EXPECT_EQ(asked[1].hWndOwner, wnd.m_hWnd);
    EXPECT_STREQ(asked[1].caption.GetString(), "Question");
    EXPECT_EQ(asked[1].type, MB_YESNO);
    EXPECT_FALSE(SetModalHandler(nullptr)); // the scopes removed theirs
}

TEST(Modal, WithoutAHandlerARealBoxWithOneOkButtonShowsTheUtf8Text)
{
    int buttons = -1;
    QString shown;
    // Runs inside the box's own loop and ends it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                buttons = static_cast<int>(box->buttons().size());
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    closer.start(0);
    EXPECT_EQ(AfxMessageBox("\xC3\xA9t\xC3\xA9"), IDOK);
    closer.stop();
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(shown, QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
}

} // namespace
