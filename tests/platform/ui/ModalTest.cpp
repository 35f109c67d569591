// The modal seam: a test answers in place of the loop; without one, a real
// box is shown (and here closed by a timer, so that nothing waits).

#include "ui/Modal.h"

#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Asked
{
    ModalKind kind;
    HWND owner;
    std::string caption;
    std::string text;
    UINT type;
};

TEST(Modal, HandlerAnswersMessageBoxesWithoutALoop)
{
    std::vector<Asked> asked;
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, "w", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
    {
        CModalHandlerScope scope([&](ModalRequest& r) {
            asked.push_back(
                {r.kind, r.hWndOwner, r.caption.GetString(), r.text.GetString(), r.type});
            return asked.size() == 1 ? IDOK : IDNO;
        });
        EXPECT_EQ(AfxMessageBox("Failed to load image!"), IDOK);
        EXPECT_EQ(wnd.MessageBox("Really?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);

        // A nested handler stands in for the outer one while it lives.
        {
            CModalHandlerScope inner([](ModalRequest&) { return IDCANCEL; });
            EXPECT_EQ(AfxMessageBox("inner", MB_OKCANCEL), IDCANCEL);
        }
        AfxSetAppName("Viewer");
        AfxMessageBox("renamed");
        AfxSetAppName("Pixmora");
    }
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].kind, ModalKind::MessageBox);
    EXPECT_EQ(asked[0].caption, "Pixmora");
    EXPECT_EQ(asked[0].text, "Failed to load image!");
    EXPECT_EQ(asked[0].type, MB_OK);
    EXPECT_EQ(asked[1].owner, wnd.m_hWnd);
    EXPECT_EQ(asked[1].caption, "Question");
    EXPECT_EQ(asked[1].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(asked[2].caption, "Viewer");
    EXPECT_FALSE(SetModalHandler(nullptr)); // the scopes removed theirs
}

TEST(Modal, WithoutAHandlerARealBoxWithOneOkButtonIsShown)
{
    QString title, text;
    int buttons = -1;
    // Runs inside the box's own loop and ends it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                title = box->windowTitle();
                text = box->text();
                buttons = static_cast<int>(box->buttons().size());
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    closer.start(0);
    EXPECT_EQ(AfxMessageBox("Failed to create palette from DIB file"), IDOK);
    closer.stop();
    EXPECT_EQ(title, "Pixmora");
    EXPECT_EQ(text, "Failed to create palette from DIB file");
    EXPECT_EQ(buttons, 1);
}

} // namespace
