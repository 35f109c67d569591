// The toolbar and status bar from the program's resources: buttons and
// their pictures, state, tips and prompts, docking, panes; and the reading
// of the bitmap file images they show.

#include "ui/Bars.h"

#include "FrameHost.h"
#include "Pictures.h"
#include "UiTestSupport.h"
#include "resources/Resources.h"
#include "ui/Frame.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<UINT> g_commands;

class CBarFrame : public CFrameWnd
{
public:
    CStatusBar m_statusBar;
    CToolBar m_toolBar;

protected:
    int OnCreate(LPCREATESTRUCT cs)
    {
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                          ID_INDICATOR_SCRL};
        if (CFrameWnd::OnCreate(cs) == -1 ||
            !m_toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
            !m_toolBar.LoadToolBar(IDR_MAINFRAME) ||
            !m_statusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
            !m_statusBar.SetIndicators(indicators, 4))
            return -1;
        return 0;
    }
    void OnCommandSeen(UINT nID) { g_commands.push_back(nID); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBarFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(ID_FILE_NEW, ID_FILE_OPEN, OnCommandSeen)
END_MESSAGE_MAP()

class Bars : public testing::Test
{
protected:
    void SetUp() override
    {
        previous = AfxSetResourceProvider(&GetResourceProvider());
        frame = new CBarFrame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME));
        frame->ShowWindow(SW_SHOW);
        PumpMessages();
        g_commands.clear();
    }
    void TearDown() override
    {
        frame->DestroyWindow();
        AfxSetResourceProvider(previous);
    }

    QToolBar* Bar() { return frame->m_toolBar.m_impl->toolBar; }
    QWidget* Button(int item)
    {
        return Bar()->widgetForAction(frame->m_toolBar.m_impl->actions.at(item));
    }
    void Idle() { frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE); }
    std::string Message() const { return frame->m_statusBar.GetPaneText(0).GetString(); }

    const ResourceProvider* previous = nullptr;
    CBarFrame* frame = nullptr;
};

TEST_F(Bars, ToolBarHasTheTemplatesButtonsWithTransparentFaces)
{
    CToolBar& bar = frame->m_toolBar;
    ASSERT_EQ(bar.GetCount(), 12);
    EXPECT_EQ(bar.GetItemID(10), ID_VIEW_ENLARGE);
    EXPECT_EQ(Bar()->iconSize(), QSize(16, 18));
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

TEST_F(Bars, ButtonsFollowTheRouteAndSendTheirCommands)
{
    Idle();
    EXPECT_TRUE(Button(0)->isEnabled());  // New: the frame
    EXPECT_FALSE(Button(2)->isEnabled()); // Save: nobody here
    EXPECT_FALSE(Button(5)->isEnabled()); // Copy
    EXPECT_FALSE(Button(8)->isEnabled()); // Print

    QTest::mouseClick(Button(0), Qt::LeftButton);
    QTest::mouseClick(Button(1), Qt::LeftButton);
    QTest::mouseClick(Button(5), Qt::LeftButton);
    EXPECT_EQ(g_commands, (std::vector<UINT>{ID_FILE_NEW, ID_FILE_OPEN}));

    // Docked elsewhere, by the frame or by hand, the buttons still work.
    frame->m_toolBar.EnableDocking(CBRS_ALIGN_ANY);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_TRUE(Bar()->isMovable());
    EXPECT_EQ(Bar()->allowedAreas(), Qt::AllToolBarAreas);
    frame->DockControlBar(&frame->m_toolBar, AFX_IDW_DOCKBAR_LEFT);
    QMainWindow* main = FrameHostOf(frame)->MainWindow();
    EXPECT_EQ(main->toolBarArea(Bar()), Qt::LeftToolBarArea);
    main->addToolBar(Qt::BottomToolBarArea, Bar());
    PumpMessages();
    EXPECT_EQ(main->toolBarArea(Bar()), Qt::BottomToolBarArea);
    QTest::mouseClick(Button(0), Qt::LeftButton);
    EXPECT_EQ(g_commands.size(), 3u);
}

// Nothing here sends the idle update: the frame's own timer does while it shows.
TEST_F(Bars, ButtonsFollowTheCommandsOnTheirOwn)
{
    QAction* save = frame->m_toolBar.m_impl->actions.at(2);
    save->setEnabled(true); // as if no update had come yet
    for (int i = 0; i < 500 && save->isEnabled(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(save->isEnabled()); // nobody here handles Save
}

TEST_F(Bars, TipsAndPromptsFollowTheBarStyle)
{
    EXPECT_EQ(Button(10)->toolTip().toStdString(), "Enlarge");
    EXPECT_TRUE(Button(8)->toolTip().isEmpty()); // Print has no string

    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QCoreApplication::sendEvent(Button(10), &enter);
    EXPECT_EQ(Message(), "Ready"); // no fly-by prompts yet

    EXPECT_EQ(frame->m_toolBar.GetBarStyle(), CBRS_TOP);
    frame->m_toolBar.SetBarStyle(frame->m_toolBar.GetBarStyle() | CBRS_FLYBY | CBRS_TOOLTIPS);
    EXPECT_EQ(frame->m_toolBar.GetBarStyle(), 0x2830u);
    QCoreApplication::sendEvent(Button(10), &enter);
    EXPECT_EQ(Message(), "Enlarge tne DIB");
    QCoreApplication::sendEvent(Button(10), &leave);
    EXPECT_EQ(Message(), "Ready");
    QCoreApplication::sendEvent(Button(8), &enter);
    EXPECT_EQ(Message(), "");
}

TEST_F(Bars, StatusBarPanesShowTheirTexts)
{
    CStatusBar& bar = frame->m_statusBar;
    ASSERT_EQ(bar.GetCount(), 4);
    EXPECT_EQ(std::string(bar.GetPaneText(1)), "CAP"); // an indicator's own string

    QLabel* message = bar.m_impl->panes.at(0);
    QLabel* caps = bar.m_impl->panes.at(1);
    EXPECT_GT(message->width(), caps->width()); // the message pane takes the rest
    EXPECT_TRUE(bar.SetPaneText(0, "x=3 y=4"));
    EXPECT_EQ(message->text().toStdString(), "x=3 y=4");
    EXPECT_FALSE(bar.SetPaneText(4, "past the end"));

    const UINT unknown[] = {ID_SEPARATOR, 12345};
    EXPECT_FALSE(bar.SetIndicators(unknown, 2));
    EXPECT_EQ(bar.GetCount(), 4); // a failed call keeps the panes
}

TEST(BitmapImage, DrawsTheStripAndRefusesBrokenFiles)
{
    const std::span<const BYTE> strip = LoadBitmapResource(IDR_MAINFRAME);
    const QImage image = ImageFromBitmapFile(strip);
    ASSERT_EQ(image.size(), QSize(160, 18));

    std::vector<BYTE> broken(strip.begin(), strip.end());
    EXPECT_TRUE(ImageFromBitmapFile(std::span(broken).first(20)).isNull()); // cut before the height
    broken[0] = 'X';
    EXPECT_TRUE(ImageFromBitmapFile(broken).isNull());
    broken[0] = 'B';
    // Pixels past the end: the reader takes the file and finds no pixels, so
    // the picture keeps its size and nothing past the bytes is read.
    broken[10] = 0xFF, broken[11] = 0xFF;
    EXPECT_EQ(ImageFromBitmapFile(broken).size(), QSize(160, 18));
    broken[10] = strip[10], broken[11] = strip[11];
    broken[14 + 4 + 3] = 0x80; // width INT_MIN-ish: negative
    EXPECT_TRUE(ImageFromBitmapFile(broken).isNull());
}

TEST(BitmapImage, IconTakesBothSizesAndItsMask)
{
    const QIcon icon = IconFromImages(LoadIconResource(IDR_MAINFRAME));
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(IconFromImages({}).isNull());
}

} // namespace
