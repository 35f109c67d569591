#pragma once

// The application: one document template binding the bitmap document, the
// main frame and the bitmap view, and the About box.

#include "ui/Dialog.h"
#include "ui/WinApp.h"

class CPixmoraApp : public CWinApp
{
public:
    CPixmoraApp() = default;

    BOOL InitInstance() override;

    void OnAbout();

protected:
    DECLARE_MESSAGE_MAP()
};

class CAboutDialog : public CDialog
{
public:
    CAboutDialog();

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
