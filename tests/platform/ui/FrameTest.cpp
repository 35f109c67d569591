// The frame from the program's resources: menus, bars, command routes, prompts and bar images.

#include "ui/Frame.h"

#include "FrameHost.h"
#include "Pictures.h"
#include "UiTestSupport.h"
#include "ui/Bars.h"
#include "ui/WinApp.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<std::string> g_log;

// Handles Save (as the frame does too), Enlarge and Undo, and checks Enlarge.
class CRouteView : public CWnd
{
protected:
    void OnFileSave() { g_log.push_back("view save"); }
    void OnViewEnlarge() { g_log.push_back("view enlarge"); }
    void OnEditUndo() { g_log.push_back("view undo"); }
    void OnUpdateViewEnlarge(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteView, CWnd)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_VIEW_ENLARGE, OnViewEnlarge)
    ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
    ON_UPDATE_COMMAND_UI(ID_VIEW_ENLARGE, OnUpdateViewEnlarge)
END_MESSAGE_MAP()

// The program's frame in miniature: its two bars and a few commands.
class CRouteFrame : public CFrameWnd
{
public:
    explicit CRouteFrame(bool* deleted = nullptr, bool failCreate = false)
        : m_deleted(deleted), m_failCreate(failCreate)
    {
    }
    ~CRouteFrame() override
    {
        if (m_deleted)
            *m_deleted = true;
    }

    CStatusBar m_statusBar;
    CToolBar m_toolBar;
    bool m_shrinkEnabled = true;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                          ID_INDICATOR_SCRL};
        if (CFrameWnd::OnCreate(cs) == -1 || m_failCreate)
            return -1;
        if (!m_toolBar.Create(this) || !m_toolBar.LoadToolBar(IDR_MAINFRAME) ||
            !m_statusBar.Create(this) || !m_statusBar.SetIndicators(indicators, 4))
            return -1;
        m_toolBar.SetBarStyle(m_toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                              CBRS_SIZE_DYNAMIC);
        m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_toolBar);
        return 0;
    }
    void OnFileNew() { g_log.push_back("frame new"); }
    void OnFileSave() { g_log.push_back("frame save"); }
    void OnViewShrink() { g_log.push_back("frame shrink"); }
    void OnUpdateViewShrink(CCmdUI* pCmdUI) { pCmdUI->Enable(m_shrinkEnabled); }
    DECLARE_MESSAGE_MAP()

private:
    bool* m_deleted;
    bool m_failCreate;
};

BEGIN_MESSAGE_MAP(CRouteFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_SAVE, OnFileSave)
    ON_COMMAND(ID_VIEW_SHRINK, OnViewShrink)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SHRINK, OnUpdateViewShrink)
END_MESSAGE_MAP()

// Last on the route: Open.
class CRouteApp : public CWinApp
{
protected:
    void OnFileOpen() override { g_log.push_back("app open"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRouteApp, CWinApp)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

class Frame : public testing::Test
{
protected:
    void SetUp() override
    {
        frame = new CRouteFrame(&deleted);
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_VISIBLE, CRect(0, 0, 10, 10), frame,
                                AFX_IDW_PANE_FIRST));
        frame->SetActiveView(&view);
        frame->ShowWindow(SW_SHOW);
        PumpMessages();
        g_log.clear();
    }
    void TearDown() override
    {
        if (!deleted)
            frame->DestroyWindow();
        EXPECT_TRUE(deleted); // a frame goes with its window
    }

    QMainWindow* Main() { return FrameHostOf(frame)->MainWindow(); }
    QMenu* Popup(int index) { return Main()->menuBar()->actions().at(index)->menu(); }
    // The popup's items as the user sees them, after the popup's update.
    QAction* Item(int popup, int index)
    {
        QMenu* menu = Popup(popup);
        emit menu->aboutToShow();
        return menu->actions().at(index);
    }
    QToolBar* Bar() { return frame->m_toolBar.m_impl->toolBar; }
    QWidget* Button(int item)
    {
        return Bar()->widgetForAction(frame->m_toolBar.m_impl->actions.at(item));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(WidgetOf(*frame), key, modifiers);
    }
    std::string Message() const { return frame->m_statusBar.GetPaneText(0).GetString(); }

    uitest::ProgramResources resources;
    CRouteApp app;
    CRouteView view;
    CRouteFrame* frame = nullptr;
    bool deleted = false;
};

TEST_F(Frame, MenusAndButtonsAreEnabledByWhoeverHandlesTheirCommands)
{
    ASSERT_EQ(Popup(0)->actions().size(), 8);
    EXPECT_FALSE(Item(0, 5)->isEnabled()); // the empty recent-file list
    EXPECT_FALSE(Item(0, 3)->isEnabled()); // Save As: nobody here handles it
    EXPECT_TRUE(Item(0, 2)->isEnabled());  // Save: the view
    EXPECT_TRUE(Item(0, 1)->isEnabled());  // Open: the application
    EXPECT_TRUE(Item(1, 0)->isEnabled());  // Undo: the view
    EXPECT_TRUE(Item(2, 0)->isChecked());  // Enlarge, checked by the view
    EXPECT_TRUE(Item(2, 1)->isEnabled());

    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    EXPECT_TRUE(Button(0)->isEnabled());  // New: the frame
    EXPECT_TRUE(Button(2)->isEnabled());  // Save: the view
    EXPECT_FALSE(Button(5)->isEnabled()); // Copy: nobody

    // A command its update handler disables runs from nowhere.
    frame->m_shrinkEnabled = false;
    QAction* shrink = Item(2, 1);
    EXPECT_FALSE(shrink->isEnabled());
    shrink->trigger();
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_SHRINK, 1), 0);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Frame, MenuAndButtonCommandsTakeTheRouteViewFrameApplication)
{
    Item(0, 2)->trigger(); // Save: the view and the frame handle it
    Item(0, 0)->trigger(); // New: the frame
    Item(0, 1)->trigger(); // Open: the application
    Item(2, 0)->trigger(); // Enlarge: the view
    QTest::mouseClick(Button(1), Qt::LeftButton);
    QTest::mouseClick(Button(5), Qt::LeftButton); // Copy: nobody
    EXPECT_EQ(g_log, (std::vector<std::string>{"view save", "frame new", "app open", "view enlarge",
                                               "app open"}));

    // Without an active view the frame is first.
    frame->SetActiveView(nullptr);
    Item(0, 2)->trigger();
    EXPECT_EQ(g_log.back(), "frame save");
    EXPECT_FALSE(Item(2, 0)->isEnabled());
}

TEST_F(Frame, AcceleratorsSendTheirCommandsAndUnhandledOnesDoNothing)
{
    Key(Qt::Key_N, Qt::ControlModifier);
    Key(Qt::Key_O, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Backspace, Qt::AltModifier); // Undo's second key
    EXPECT_EQ(g_log, (std::vector<std::string>{"frame new", "app open", "view undo", "view undo"}));

    g_log.clear();
    Key(Qt::Key_C, Qt::ControlModifier);
    Key(Qt::Key_Insert, Qt::ControlModifier);
    Key(Qt::Key_F6, Qt::NoModifier);
    Key(Qt::Key_F6, Qt::ShiftModifier);
    Key(Qt::Key_N, Qt::NoModifier); // no modifier, no accelerator
    Key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Frame, HighlightedItemOrButtonShowsItsPromptAndTipOnlyWithTheBarStyle)
{
    EXPECT_EQ(Message(), "Ready");
    QMenu* menu = Popup(2);
    menu->popup(QPoint(0, 0));
    PumpMessages();
    menu->actions().at(0)->hover();
    EXPECT_EQ(Message(), "Enlarge tne DIB");
    menu->actions().at(3)->hover(); // Current Palette: no string, no prompt
    EXPECT_EQ(Message(), "");
    menu->hide();
    PumpMessages();
    EXPECT_EQ(Message(), "Ready");

    EXPECT_EQ(Button(10)->toolTip().toStdString(), "Enlarge");
    EXPECT_TRUE(Button(8)->toolTip().isEmpty()); // Print has no string
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QCoreApplication::sendEvent(Button(10), &enter);
    EXPECT_EQ(Message(), "Enlarge tne DIB");
    QCoreApplication::sendEvent(Button(10), &leave);
    EXPECT_EQ(Message(), "Ready");
    QCoreApplication::sendEvent(Button(8), &enter);
    EXPECT_EQ(Message(), "");
    QCoreApplication::sendEvent(Button(8), &leave);
    frame->m_toolBar.SetBarStyle(frame->m_toolBar.GetBarStyle() & ~CBRS_FLYBY);
    QCoreApplication::sendEvent(Button(10), &enter);
    EXPECT_EQ(Message(), "Ready");
}

TEST_F(Frame, ViewMenuTogglesTheBarsAndTheViewFillsWhatTheyLeave)
{
    QWidget* central = FrameHostOf(frame)->Central();
    const QRect area(central->mapTo(WidgetOf(*frame), QPoint(0, 0)), central->size());
    EXPECT_EQ(WidgetOf(view)->geometry(), area);
    EXPECT_EQ(uitest::ClientOf(view).Height(), area.height());

    for (int item : {6, 7}) {
        CControlBar* bar = item == 6 ? static_cast<CControlBar*>(&frame->m_toolBar)
                                     : static_cast<CControlBar*>(&frame->m_statusBar);
        EXPECT_TRUE(Item(2, item)->isChecked());
        Item(2, item)->trigger();
        EXPECT_FALSE(bar->IsVisible());
        EXPECT_FALSE(Item(2, item)->isChecked());
        PumpMessages();
        EXPECT_GT(uitest::ClientOf(view).Height(), area.height());
        Item(2, item)->trigger();
        EXPECT_TRUE(bar->IsVisible());
        EXPECT_TRUE(Item(2, item)->isChecked());
    }
}

TEST_F(Frame, CaptionIsTheTitleAndTheIconTheProgramsOwn)
{
    EXPECT_EQ(uitest::TextOf(*frame), "Pixmora");
    EXPECT_FALSE(WidgetOf(*frame)->windowIcon().isNull());
}

TEST_F(Frame, ToolBarHasTheTemplatesButtonsWithTransparentFaces)
{
    CToolBar& bar = frame->m_toolBar;
    ASSERT_EQ(bar.GetCount(), 12);
    EXPECT_EQ(bar.GetItemID(10), ID_VIEW_ENLARGE);
    int transparent = 0, opaque = 0;
    for (int item = 0; item < 12; ++item) {
        QAction* action = bar.m_impl->actions.at(static_cast<size_t>(item));
        ASSERT_EQ(action == nullptr, item == 3 || item == 7);
        if (!action)
            continue;
        const QImage picture = action->icon().pixmap(QSize(16, 18)).toImage();
        ASSERT_EQ(picture.size(), QSize(16, 18));
        for (int y = 0; y < 18; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor c = picture.pixelColor(x, y);
                (c.alpha() == 0 ? transparent : opaque) += 1;
                EXPECT_FALSE(c.alpha() != 0 && c.rgb() == qRgb(192, 192, 192));
            }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
}

TEST_F(Frame, DockedElsewhereByTheFrameOrByHandTheButtonsStillWork)
{
    frame->DockControlBar(&frame->m_toolBar, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(Main()->toolBarArea(Bar()), Qt::LeftToolBarArea);
    Main()->addToolBar(Qt::BottomToolBarArea, Bar());
    PumpMessages();
    QTest::mouseClick(Button(0), Qt::LeftButton);
    EXPECT_EQ(g_log, std::vector<std::string>{"frame new"});
}

// Nothing here sends the idle update: the frame's own timer does while it shows.
TEST_F(Frame, ButtonsFollowTheCommandsOnTheirOwn)
{
    QAction* copy = frame->m_toolBar.m_impl->actions.at(5);
    copy->setEnabled(true); // as if no update had come yet
    for (int i = 0; i < 500 && copy->isEnabled(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(copy->isEnabled()); // nobody here handles Copy
}

TEST_F(Frame, StatusBarPanesShowTheirTexts)
{
    CStatusBar& bar = frame->m_statusBar;
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(std::string(bar.GetPaneText(1)), "CAP"); // an indicator's own string
    EXPECT_GT(bar.m_impl->panes.at(0)->width(), bar.m_impl->panes.at(1)->width());
    EXPECT_FALSE(bar.SetPaneText(4, "past the end"));
    const UINT unknown[] = {ID_SEPARATOR, 12345};
    EXPECT_FALSE(bar.SetIndicators(unknown, 2));
    EXPECT_EQ(bar.GetCount(), 4); // a failed call keeps the panes
}

TEST(FrameLoad, FailedCreationLeavesNoWindowAndTheObjectToItsCreator)
{
    uitest::ProgramResources resources;
    bool deleted = false;
    auto* frame = new CRouteFrame(&deleted, true);
    EXPECT_FALSE(frame->LoadFrame(IDR_MAINFRAME));
    EXPECT_FALSE(deleted);
    EXPECT_EQ(frame->GetSafeHwnd(), nullptr);
    delete frame;

    CRouteFrame noMenu;
    EXPECT_FALSE(noMenu.LoadFrame(IDD_ABOUTBOX));
    EXPECT_EQ(noMenu.GetSafeHwnd(), nullptr);
}

TEST(BitmapImage, DrawsTheStripAndRefusesBrokenFiles)
{
    const std::span<const BYTE> strip = LoadBitmapResource(IDR_MAINFRAME);
    ASSERT_EQ(ImageFromBitmapFile(strip).size(), QSize(160, 18));

    std::vector<BYTE> broken(strip.begin(), strip.end());
    EXPECT_TRUE(ImageFromBitmapFile(std::span(broken).first(20)).isNull()); // cut before the height
    broken[0] = 'X';
    EXPECT_TRUE(ImageFromBitmapFile(broken).isNull());
    broken[0] = 'B';
    // Pixels past the end: the size stays and nothing past the bytes is read.
    broken[10] = 0xFF, broken[11] = 0xFF;
    EXPECT_EQ(ImageFromBitmapFile(broken).size(), QSize(160, 18));
    broken[10] = strip[10], broken[11] = strip[11];
    broken[14 + 16] = 9; // a compression no reader knows, under a good header
    EXPECT_TRUE(ImageFromBitmapFile(broken).isNull());
    broken[14 + 16] = strip[14 + 16];
    broken[14 + 4 + 3] = 0x80; // width INT_MIN-ish: negative
    EXPECT_TRUE(ImageFromBitmapFile(broken).isNull());

    const QIcon icon = IconFromImages(LoadIconResource(IDR_MAINFRAME));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(IconFromImages({}).isNull());
}

} // namespace
