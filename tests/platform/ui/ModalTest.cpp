// The modal seam: a handler answers in place of the loop; without one, a real box is shown.

#include "ui/Modal.h"

#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Modal, HandlerAnswersInPlaceOfTheLoopInnermostFirst)
{
    std::vector<ModalRequest> asked;
    CWnd wnd;
    ASSERT_TRUE(
        wnd.CreateEx(0, nullptr, "w", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
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

TEST(Modal, WithoutAHandlerARealBoxWithOneOkButtonIsShown)
{
    int buttons = -1;
    // Runs inside the box's own loop and ends it.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                buttons = static_cast<int>(box->buttons().size());
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    closer.start(0);
    EXPECT_EQ(AfxMessageBox("x"), IDOK);
    closer.stop();
    EXPECT_EQ(buttons, 1);
}

} // namespace
