#pragma once

// The program's one top-level window: a dockable toolbar, a status bar with
// the key-state indicators, and the view in between. It passes the palette
// notices on to its children, which the window system never tells.

#include "ui/Bars.h"
#include "ui/Frame.h"

class CMainFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CMainFrame)

public:
    CMainFrame() = default;
    ~CMainFrame() override = default;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // The view writes its pixel read-out into pane 0.
    CStatusBar m_statusBar;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnPaletteChanged(CWnd* pFocusWnd);
    BOOL OnQueryNewPalette();

    DECLARE_MESSAGE_MAP()

private:
    CToolBar m_toolBar;
};
