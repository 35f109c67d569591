// The application object: start-up, the document template, and File New, Open and About.

#include "app/PixmoraApp.h"

#include "docview/PixmoraDoc.h"
#include "docview/PixmoraView.h"
#include "frame/MainFrame.h"
#include "resources/ResourceIds.h"
#include "ui/DocTemplate.h"

BEGIN_MESSAGE_MAP(CPixmoraApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAbout)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

BOOL CPixmoraApp::InitInstance()
{
    Enable3dControls();
    LoadStdProfileSettings(4);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CPixmoraDoc),
                                          RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CPixmoraView)));

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    return ProcessShellCommand(cmdInfo) ? TRUE : FALSE;
}

void CPixmoraApp::OnAbout()
{
    CAboutDialog dlg;
    dlg.DoModal();
}

BEGIN_MESSAGE_MAP(CAboutDialog, CDialog)
END_MESSAGE_MAP()

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUTBOX) {}

// No control carries a value.
void CAboutDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}
