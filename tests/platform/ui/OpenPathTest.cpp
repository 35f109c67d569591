// The way to an open document: text crossing into the toolkit, the Open
// dialog, the framework's open and its failures, and the command line.

#include "Hwnd.h"
#include "ui/Modal.h"
#include "ui/Wnd.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A caption and a message box show the program's UTF-8 text as written.
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

    QString shown;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                shown = box->text();
                box->accept();
            }
    });
    reader.start(10);
    AfxMessageBox("\xC3\xA9t\xC3\xA9", MB_OK);
    EXPECT_EQ(shown, QString::fromUtf8("\xC3\xA9t\xC3\xA9"));
}

} // namespace
