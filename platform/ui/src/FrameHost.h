#pragma once

// What a frame shows through Qt: a main window inside the frame's own widget
// carrying the menu bar, the bars and an empty central area that the client
// window covers. Private to the window layer (and its tests).

#include "ui/Bars.h"
#include "ui/Frame.h"

#include <QIcon>
#include <QImage>
#include <QMainWindow> // MainWindow() hands out the pointer
#include <QObject>
#include <QPointer>

#include <span>
#include <vector>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;
class QWidget;

// The key indicators' commands: the framework's standard numbers.
inline constexpr UINT kIndicatorCaps = 0xE701;
inline constexpr UINT kIndicatorNum = 0xE702;
inline constexpr UINT kIndicatorScroll = 0xE703;

class FrameHost final : public QObject
{
public:
    FrameHost(CFrameWnd* frame, QWidget* frameWidget);
    ~FrameHost() override;

    // Null once the frame has let go of this host.
    CFrameWnd* Frame() const { return m_frame; }
    void Release();

    QMainWindow* MainWindow() const { return m_main; }
    QWidget* Central() const { return m_central; }
    QWidget* FrameWidget() const { return m_frameWidget; }

    void BuildMenu(MENUTEMPLATE menu);
    // A command item put into one of the frame's menus after it was built,
    // before `before` (null: at the end); it sends its command like the rest.
    QAction* InsertCommandItem(QMenu* menu, QAction* before, UINT id, const QString& text);
    void SetAccelerators(std::span<const ACCEL> table);

    std::vector<CControlBar*> bars; // created in this frame, still alive

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddMenuItems(QWidget* menu, std::span<const MENUITEMTEMPLATE> items);
    void ConnectCommand(QAction* action, UINT id);
    void UpdateMenu(QMenu* menu);
    bool TranslateAccelerator(const QKeyEvent& key);

    CFrameWnd* m_frame;
    QPointer<QWidget> m_frameWidget;
    QPointer<QMainWindow> m_main;
    QPointer<QWidget> m_central;
    std::vector<ACCEL> m_accelerators;
    QTimer* m_idleTimer;
};

FrameHost* FrameHostOf(CFrameWnd* frame);

// The string of the idle message: the framework's standard number.
inline constexpr UINT kIdleMessage = 0xE001;

// What a bar shows: its Qt bar, and for a toolbar the object that watches
// its buttons.
struct CControlBar::Impl
{
    QPointer<QToolBar> toolBar;
    QPointer<QStatusBar> statusBar;
    QPointer<QObject> watcher;
    std::vector<QPointer<QLabel>> panes;
    std::vector<QPointer<QAction>> actions; // one per item; null for separators

    QWidget* Widget() const;
};

// The main window's edge that a bar's CBRS_ALIGN_* bits name first.
Qt::ToolBarArea AreaOf(DWORD align);

// An item's state as update handlers set it, shown on a menu item or button.
class ActionCmdUI final : public CCmdUI
{
public:
    ActionCmdUI(QAction* action, bool takesText, FrameHost* host = nullptr)
        : m_action(action), m_takesText(takesText), m_host(host)
    {
    }
    void Enable(BOOL bOn = TRUE) override;
    void SetCheck(int nCheck = 1) override;
    void SetText(LPCSTR lpszText) override;

    QAction* Action() const { return m_action; }
    // The frame whose menu holds the item; null for a toolbar button.
    FrameHost* Host() const { return m_host; }

private:
    QAction* m_action;
    bool m_takesText;
    FrameHost* m_host;
};

// The status-bar prompt of a command: its string up to '\n'.
CString CommandPrompt(UINT nID);
