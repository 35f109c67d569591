// The application object: start-up, the message loop, documents and its own commands.

#include "ui/WinApp.h"

#include "RecentFiles.h"
#include "ToolkitText.h"
#include "ui/DocTemplate.h"
#include "ui/DocView.h"
#include "ui/Frame.h"
#include "ui/MessageLoop.h"
#include "ui/Modal.h"
#include "ui/ResourceProvider.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cassert>
#include <cstdio>
#include <string_view>

namespace {

// The standard numbers of the commands and the string this object answers.
constexpr UINT kAppTitle = 0xE000; // the application's name
constexpr UINT kFileNew = 0xE100;
constexpr UINT kAppExit = 0xE141;

constexpr char kAllFilesFilter[] = "All Files (*.*)";
constexpr char kOpenTitle[] = "Open";

CWinApp* g_pApp = nullptr;
CWnd* g_pMainWnd = nullptr;

} // namespace

// ---- The command line ---------------------------------------------------------------

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    if (bFlag)
        return;
    if (m_nShellCommand == FileOpen) {
        // One document at a time; a file left unopened is not left unsaid.
        std::fprintf(stderr, "%s: only the first file opens; '%s' is not opened.\n",
                     QCoreApplication::applicationName().toLocal8Bit().constData(), pszParam);
        return;
    }
    m_strFileName = pszParam;
    m_nShellCommand = FileOpen;
}

// ---- The application --------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(kAppExit, OnAppExit)
    ON_COMMAND_RANGE(kFileMru1, kFileMru1 + kMaxMru - 1, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI(kFileMru1, OnUpdateRecentFileMenu)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    // One program, one application object.
    assert(g_pApp == nullptr);
    g_pApp = this;
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName.GetString();
    }
}

CWinApp::~CWinApp()
{
    // The templates take their documents and frames with them.
    for (CDocTemplate* pTemplate : m_templates)
        delete pTemplate;
    m_templates.clear();
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pMainWnd;
}

void AfxSetMainWnd(CWnd* pWnd)
{
    g_pMainWnd = pWnd;
}

BOOL CWinApp::InitApplication()
{
    SettleAppName();
    return TRUE;
}

void CWinApp::SettleAppName()
{
    if (!m_pszAppName) {
        if (const char* title = AfxLoadString(kAppTitle); title && *title) {
            m_strAppName = title;
            m_pszAppName = m_strAppName.GetString();
        }
    }
    if (m_pszAppName)
        AfxSetAppName(m_pszAppName);
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    CWnd* main = GetMainWnd();
    if (main && IsWindow(main->GetSafeHwnd())) {
        // Dialogs should know their owner even if only m_pMainWnd was set.
        AfxSetMainWnd(main);
        m_running = true;
        m_nExitCode = RunMessageLoop();
        m_running = false;
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return m_nExitCode;
}

CWnd* CWinApp::GetMainWnd() const
{
    return m_pMainWnd ? m_pMainWnd : AfxGetMainWnd();
}

void CWinApp::FrameDestroyed(CFrameWnd* pFrame)
{
    const bool main = pFrame == m_pMainWnd || pFrame == AfxGetMainWnd();
    if (!main)
        return;
    // The frame deletes itself once its window is gone: nothing may keep it.
    if (m_pMainWnd == pFrame)
        m_pMainWnd = nullptr;
    if (AfxGetMainWnd() == pFrame)
        AfxSetMainWnd(nullptr);
    if (m_running)
        PostQuitMessage(0);
}

// ---- Documents and commands -------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate)
        m_templates.push_back(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    if (m_templates.empty() || !lpszFileName || !*lpszFileName)
        return nullptr;
    return m_templates.front()->OpenDocumentFile(lpszFileName);
}

CString CWinApp::GetDocTemplateString() const
{
    return m_templates.empty() ? CString() : m_templates.front()->GetDocStrings();
}

void CWinApp::OnFileNew()
{
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen()
{
    CWnd* main = GetMainWnd();
    const CString docString = GetDocTemplateString();
    const std::string_view ext = GetStringField(docString, 4);
    // The folder of the document shown, or the working folder.
    CDocument* doc = main && main->IsKindOf(RUNTIME_CLASS(CFrameWnd))
                         ? static_cast<CFrameWnd*>(main)->GetActiveDocument()
                         : nullptr;
    const QString shown = doc ? PathText(doc->GetPathName()) : QString();
    const CString folder =
        PathBytes(shown.isEmpty() ? QDir::currentPath() : QFileInfo(shown).absolutePath());
    CString path;
    if (AfxPromptOpenFileName(main ? main->GetSafeHwnd() : nullptr, kOpenTitle,
                              AfxFileOpenFilters(docString), path,
                              CString(ext.data(), static_cast<int>(ext.size())), folder) != IDOK ||
        path.IsEmpty())
        return;
    OpenDocumentFile(path);
}

void CWinApp::OnAppExit()
{
    if (CWnd* main = GetMainWnd(); main && IsWindow(main->GetSafeHwnd()))
        main->SendMessage(WM_CLOSE);
}

std::vector<CString> AfxFileOpenFilters(LPCSTR lpszDocString)
{
    std::vector<CString> filters;
    const std::string_view name = GetStringField(lpszDocString, 3);
    const std::string_view ext = GetStringField(lpszDocString, 4);
    if (!name.empty() && !ext.empty()) {
        CString filter(name.data(), static_cast<int>(name.size()));
        filter += " (*";
        filter += CString(ext.data(), static_cast<int>(ext.size()));
        filter += ")";
        filters.push_back(filter);
    }
    filters.emplace_back(kAllFilesFilter);
    return filters;
}

// ---- Command line and start-up ------------------------------------------------------------

void CWinApp::SetCommandLine(std::vector<CString> arguments)
{
    m_arguments = std::move(arguments);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    // Only '-' starts an option: '/' starts a path here. "--" ends the
    // options, so that a file name may start with '-'.
    bool options = true;
    for (size_t i = 0; i < m_arguments.size(); ++i) {
        const char* arg = m_arguments[i].GetString();
        if (options && std::string_view(arg) == "--") {
            options = false;
            continue;
        }
        const bool flag = options && arg[0] == '-';
        rCmdInfo.ParseParam(flag ? arg + 1 : arg, flag, i + 1 == m_arguments.size());
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        // Through the command map first, so that a program's own New runs.
        if (!OnCmdMsg(kFileNew, CN_COMMAND, nullptr))
            OnFileNew();
        return GetMainWnd() != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        break;
    }
    return TRUE;
}

int AfxWinMain(int argc, char** argv)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    const bool started = QCoreApplication::instance() != nullptr;
    // The toolkit looks for its own options only before "--": what follows
    // is the program's, word for word.
    int toolkitArgs = argc;
    for (int i = 1; i < argc && argv; ++i)
        if (std::string_view(argv[i]) == "--") {
            toolkitArgs = i;
            break;
        }
    EnsureApplication(toolkitArgs, argv);
    // The program ends with its main window, not with the toolkit's idea of
    // the last window.
    QApplication::setQuitOnLastWindowClosed(false);
    std::vector<CString> arguments;
    if (started) {
        for (int i = 1; i < argc && argv; ++i)
            arguments.emplace_back(argv[i]);
    } else {
        // Now without the toolkit's own options.
        const QStringList all = QCoreApplication::arguments();
        for (qsizetype i = 1; i < all.size(); ++i)
            arguments.push_back(PathBytes(all[i]));
        for (int i = toolkitArgs; i < argc; ++i)
            arguments.emplace_back(argv[i]);
    }
    app->SetCommandLine(std::move(arguments));
    if (!app->InitApplication() || !app->InitInstance()) {
        if (CWnd* main = app->GetMainWnd(); main && IsWindow(main->GetSafeHwnd()))
            main->DestroyWindow();
        const int exitCode = app->ExitInstance();
        // A start that failed is never reported as a success.
        return exitCode != 0 ? exitCode : 1;
    }
    return app->Run();
}
