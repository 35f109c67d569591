// Zoom keys and wheel, sideways scrolling, prompts, lock indicators, what lasts between runs.

#include "FrameHost.h"
#include "Hwnd.h"
#include "ViewerFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using viewertest::Viewer;

const std::string kSample = std::string(PIXMORA_SAMPLES_DIR) + "/sample.bmp";

class KeysAndWheel : public Viewer
{
protected:
    QWidget* ViewWidget() const { return WidgetOf(View()->GetSafeHwnd()); }
    QMainWindow* Main() const { return FrameHostOf(Frame())->MainWindow(); }
    void Wheel(QPoint angle, Qt::KeyboardModifiers modifiers)
    {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, ViewWidget()->mapToGlobal(at), QPoint(), angle, Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ViewWidget(), &wheel);
        PumpMessages();
    }
    static void Mouse(QWidget* w, QEvent::Type type, QPoint local, QPoint global)
    {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
};

// Disabled menu items show their prompts and the lock indicators follow the lock bits of key
// events; zoom keys and Ctrl+wheel zoom, Shift+wheel and a sideways wheel scroll horizontally.
TEST_F(KeysAndWheel, MenusKeysAndWheelsReachTheStatusBarAndTheView)
{
    ASSERT_TRUE(Start());
    struct Prompt
    {
        int menu;
        UINT id;
        const char* prompt;
    } prompts[] = {
        {1, ID_EDIT_UNDO, "Undo the last action"},
        {0, ID_FILE_MRU_FILE1, "Open this document"},
    };
    for (const Prompt& c : prompts) {
        QMenu* menu = Main()->menuBar()->actions().at(c.menu)->menu();
        menu->popup(QPoint(100, 100));
        PumpMessages();
        QAction* item = nullptr;
        for (QAction* a : menu->actions())
            if (a->data().toUInt() == c.id)
                item = a;
        ASSERT_TRUE(item && !item->isEnabled()) << c.id;
        const QPoint at = menu->actionGeometry(item).center();
        for (int i = 0; i < 8; ++i) { // a menu follows the mouse once it has moved a little
            QMouseEvent move(QEvent::MouseMove, at, menu->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(menu, &move);
        }
        EXPECT_EQ(PaneZero(), c.prompt);
        menu->hide();
        PumpMessages();
    }

    struct Lock
    {
        quint32 nativeModifiers;
        const char* shown;
    } locks[] = {
        {1u << 1, "CAP "},                        // Lock
        {1u << 4, "NUM "},                        // Mod2
        {(1u << 1) | (1u << 4) | 1u, "CAP NUM "}, // with Shift
        {0, ""},
    };
    for (const Lock& c : locks) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier, 0, 0, c.nativeModifiers);
        QApplication::sendEvent(ViewWidget(), &key);
        Frame()->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        std::string shown; // the indicator panes, left to right
        for (QLabel* pane : Main()->findChild<QStatusBar*>()->findChildren<QLabel*>())
            if (!pane->text().isEmpty() && pane->text() != QLatin1String("Ready"))
                shown += pane->text().toStdString() + " ";
        EXPECT_EQ(shown, c.shown) << c.nativeModifiers;
    }

    Open(kSample);
    struct Zoom
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        double scale;
    } zooms[] = {
        {Qt::Key_Equal, Qt::ControlModifier, 2},
        {Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, 4},
        {Qt::Key_Plus, Qt::ControlModifier, 8}, // '+' a key of its own
        {Qt::Key_Minus, Qt::ControlModifier, 4},
        {Qt::Key_Minus, Qt::KeypadModifier, 2},
        {Qt::Key_Plus, Qt::KeypadModifier, 4},
        {Qt::Key_Plus, Qt::NoModifier, 4},  // '+' typed on the main keys
        {Qt::Key_Equal, Qt::NoModifier, 4}, // no Ctrl, no zoom
    };
    for (const Zoom& c : zooms) {
        QTest::keyClick(ViewWidget(), static_cast<Qt::Key>(c.key), c.modifiers);
        PumpMessages();
        EXPECT_EQ(View()->GetScale(), c.scale) << c.key << " " << c.modifiers;
    }
    Wheel(QPoint(0, 120), Qt::ControlModifier);
    EXPECT_EQ(View()->GetScale(), 8);
    Wheel(QPoint(0, -60), Qt::ControlModifier); // half a notch: nothing yet
    EXPECT_EQ(View()->GetScale(), 8);
    Wheel(QPoint(0, -60), Qt::ControlModifier);
    EXPECT_EQ(View()->GetScale(), 4);
    EXPECT_EQ(View()->GetScrollPosition(), CPoint(0, 0)); // Ctrl+wheel does not scroll

    Command(ID_VIEW_ENLARGE); // 2560 x 1920: both bars
    Wheel(QPoint(0, -120), Qt::NoModifier);
    const CPoint down = View()->GetScrollPosition();
    EXPECT_EQ(down.x, 0);
    EXPECT_GT(down.y, 0);
    Wheel(QPoint(0, -120), Qt::ShiftModifier); // towards the user: right
    const CPoint right = View()->GetScrollPosition();
    EXPECT_GT(right.x, 0);
    EXPECT_EQ(right.y, down.y);
    Wheel(QPoint(-120, 0), Qt::NoModifier); // a sideways wheel to the right
    EXPECT_EQ(View()->GetScrollPosition(), CPoint(2 * right.x, down.y));
    Wheel(QPoint(240, 0), Qt::NoModifier); // two notches to the left
    EXPECT_EQ(View()->GetScrollPosition(), CPoint(0, down.y));
}

// Window size, maximised state and a floating, narrowed toolbar last into the next run.
TEST_F(KeysAndWheel, WindowAndFloatingToolbarLastBetweenRuns)
{
    ASSERT_TRUE(Start());
    auto* bar = Main()->findChild<QToolBar*>();
    // Dragged by its handle well away from the window, it floats.
    const QPoint handle(4, bar->height() / 2);
    const QPoint away = WidgetOf(Frame()->GetSafeHwnd())->geometry().bottomLeft() + QPoint(0, 200);
    Mouse(bar, QEvent::MouseButtonPress, handle, bar->mapToGlobal(handle));
    Mouse(bar, QEvent::MouseMove, handle + QPoint(0, 40), bar->mapToGlobal(handle) + QPoint(0, 40));
    Mouse(bar, QEvent::MouseMove, bar->mapFromGlobal(away), away);
    Mouse(bar, QEvent::MouseButtonRelease, bar->mapFromGlobal(away), away);
    PumpMessages();
    ASSERT_TRUE(bar->isFloating());
    const QSize oneRow = bar->size();
    // Its right edge dragged to a third of the width.
    const QPoint edge(bar->width() - 2, bar->height() / 2);
    const QPoint to = bar->mapToGlobal(edge) - QPoint(oneRow.width() * 2 / 3, 0);
    Mouse(bar, QEvent::MouseButtonPress, edge, bar->mapToGlobal(edge));
    Mouse(bar, QEvent::MouseMove, bar->mapFromGlobal(to), to);
    Mouse(bar, QEvent::MouseButtonRelease, bar->mapFromGlobal(to), to);
    WidgetOf(Frame()->GetSafeHwnd())->resize(700, 450);
    Frame()->ShowWindow(SW_SHOWMAXIMIZED);
    PumpMessages();
    Frame()->DestroyWindow(); // as File > Exit ends the program
    PumpMessages();

    app.reset();
    app = std::make_unique<CPixmoraApp>(); // the next run, with the same settings
    ASSERT_TRUE(app->InitApplication());
    ASSERT_TRUE(Start());
    QWidget* window = WidgetOf(Frame()->GetSafeHwnd());
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->normalGeometry().size(), QSize(700, 450));
    bar = Main()->findChild<QToolBar*>();
    ASSERT_TRUE(bar->isFloating());
    EXPECT_LT(bar->width(), oneRow.width() / 2);
    std::set<int> rows;
    for (QAction* action : bar->actions()) {
        if (action->isSeparator())
            continue;
        QWidget* button = bar->widgetForAction(action);
        EXPECT_TRUE(button->isVisible() && bar->rect().contains(button->geometry()));
        rows.insert(button->y());
    }
    EXPECT_GE(rows.size(), 3u);
}

} // namespace
