// The main frame built from the program's resources: its menu, the route a
// command takes from menu or key to view, frame and application, the
// prompts in the status bar, the bar toggles and the caption.

#include "ui/Frame.h"

#include "FrameHost.h"
#include "UiTestSupport.h"
#include "resources/Resources.h"
#include "ui/Bars.h"
#include "ui/WinApp.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Handles Save and Enlarge and Undo (both of Undo's keys), and checks
// Enlarge; Save is handled by the frame too, but the view comes first.
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

// The program's frame in miniature: the two bars as the main frame makes
// them, and a few commands of its own.
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
        previous = AfxSetResourceProvider(&GetResourceProvider());
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
        AfxSetResourceProvider(previous);
    }

    QMenu* Popup(int index)
    {
        return FrameHostOf(frame)->MainWindow()->menuBar()->actions().at(index)->menu();
    }
    // The popup's items as the user sees them, after the popup's update.
    QAction* Item(int popup, int index)
    {
        QMenu* menu = Popup(popup);
        emit menu->aboutToShow();
        return menu->actions().at(index);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(WidgetOf(*frame), key, modifiers);
    }
    std::string Message() const { return frame->m_statusBar.GetPaneText(0).GetString(); }

    const ResourceProvider* previous = nullptr;
    CRouteApp app;
    CRouteView view;
    CRouteFrame* frame = nullptr;
    bool deleted = false;
};

TEST_F(Frame, MenuBarFollowsTheTemplateAndDisablesWhatNobodyHandles)
{
    ASSERT_EQ(Popup(0)->actions().size(), 8);
    EXPECT_FALSE(Item(0, 5)->isEnabled()); // the empty recent-file list
    EXPECT_FALSE(Item(0, 3)->isEnabled()); // Save As: nobody here handles it
    EXPECT_TRUE(Item(0, 2)->isEnabled());  // Save: the view
    EXPECT_TRUE(Item(0, 1)->isEnabled());  // Open: the application

    EXPECT_TRUE(Item(1, 0)->isEnabled()); // Undo: the view
    for (int i : {2, 3, 4})
        EXPECT_FALSE(Item(1, i)->isEnabled()) << "Edit item " << i;
}

TEST_F(Frame, MenuCommandsTakeTheRouteViewFrameApplication)
{
    Item(0, 2)->trigger(); // Save: the view and the frame handle it
    Item(0, 0)->trigger(); // New: the frame
    Item(0, 1)->trigger(); // Open: the application
    Item(2, 0)->trigger(); // Enlarge: the view
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"view save", "frame new", "app open", "view enlarge"}));

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

TEST_F(Frame, UpdateHandlersDisableAndCheck)
{
    EXPECT_TRUE(Item(2, 0)->isChecked()); // Enlarge, checked by the view
    EXPECT_TRUE(Item(2, 1)->isEnabled());
    frame->m_shrinkEnabled = false;
    QAction* shrink = Item(2, 1);
    EXPECT_FALSE(shrink->isEnabled());
    shrink->trigger();
    // A command the update handler disables does not run from a key either.
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_VIEW_SHRINK, 1), 0);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Frame, HighlightedItemShowsItsPromptUntilTheMenuCloses)
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
}

TEST_F(Frame, ViewMenuTogglesTheBarsAndChecksThem)
{
    for (int item : {6, 7}) {
        CControlBar* bar = item == 6 ? static_cast<CControlBar*>(&frame->m_toolBar)
                                     : static_cast<CControlBar*>(&frame->m_statusBar);
        EXPECT_TRUE(Item(2, item)->isChecked());
        Item(2, item)->trigger();
        EXPECT_FALSE(bar->IsVisible());
        EXPECT_FALSE(Item(2, item)->isChecked());
        Item(2, item)->trigger();
        EXPECT_TRUE(bar->IsVisible());
        EXPECT_TRUE(Item(2, item)->isChecked());
    }
}

TEST_F(Frame, ViewFillsWhatTheBarsLeave)
{
    QWidget* central = FrameHostOf(frame)->Central();
    const QRect area(central->mapTo(WidgetOf(*frame), QPoint(0, 0)), central->size());
    EXPECT_EQ(WidgetOf(view)->geometry(), area);
    CRect client;
    view.GetClientRect(&client);
    EXPECT_EQ(client.Height(), area.height());

    frame->ShowControlBar(&frame->m_toolBar, FALSE, FALSE);
    PumpMessages();
    view.GetClientRect(&client);
    EXPECT_GT(client.Height(), area.height());
}

TEST_F(Frame, CaptionNamesTheDocumentBeforeTheTitle)
{
    CString caption;
    frame->GetWindowText(caption);
    EXPECT_EQ(caption, "Pixmora");
    frame->UpdateFrameTitleForDocument("Untitled");
    frame->GetWindowText(caption);
    EXPECT_EQ(caption, "Untitled - Pixmora");
    EXPECT_EQ(WidgetOf(*frame)->windowTitle().toStdString(), "Untitled - Pixmora");
    frame->UpdateFrameTitleForDocument(nullptr);
    frame->GetWindowText(caption);
    EXPECT_EQ(caption, "Pixmora");
    EXPECT_FALSE(WidgetOf(*frame)->windowIcon().isNull());
}

TEST(FrameLoad, FailedCreationLeavesNoWindowAndTheObjectToItsCreator)
{
    const ResourceProvider* previous = AfxSetResourceProvider(&GetResourceProvider());
    bool deleted = false;
    auto* frame = new CRouteFrame(&deleted, true);
    EXPECT_FALSE(frame->LoadFrame(IDR_MAINFRAME));
    EXPECT_FALSE(deleted);
    EXPECT_EQ(frame->GetSafeHwnd(), nullptr);
    delete frame;

    CRouteFrame noMenu;
    EXPECT_FALSE(noMenu.LoadFrame(IDD_ABOUTBOX));
    EXPECT_EQ(noMenu.GetSafeHwnd(), nullptr);
    AfxSetResourceProvider(previous);
}

} // namespace
