// The application object: start-up, the message loop, the recent-file list
// with its settings and menu items, and the application's own commands.

#include "ui/WinApp.h"

#include "FrameHost.h"
#include "ui/Dialog.h"
#include "ui/DocTemplate.h"
#include "ui/DocView.h"
#include "ui/Frame.h"
#include "ui/MessageLoop.h"
#include "ui/Modal.h"
#include "ui/ResourceProvider.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>

#include <algorithm>
#include <cassert>
#include <string_view>

namespace {

// The standard numbers of the commands and the string this object answers.
constexpr UINT kAppTitle = 0xE000; // the application's name
constexpr UINT kFileNew = 0xE100;
constexpr UINT kFileMru1 = 0xE110; // first recent file; the list can hold 16
constexpr UINT kMaxMru = 16;
constexpr UINT kAppExit = 0xE141;

constexpr char kAllFilesFilter[] = "All Files (*.*)";
constexpr char kOpenTitle[] = "Open";
constexpr char kRecentGroup[] = "Recent File List";

// A menu item keeps its resource text here once the list has taken it over.
constexpr char kPlaceholderText[] = "pixmoraPlaceholderText";

CWinApp* g_pApp = nullptr;

QString PathText(const CString& path)
{
    return QFile::decodeName(path.GetString());
}

CString PathBytes(const QString& path)
{
    return CString(QFile::encodeName(path).constData());
}

// Absolute, with "." and ".." resolved, so that one file has one spelling
// whether it exists or not.
CString AbsolutePath(LPCSTR path)
{
    return PathBytes(QDir::cleanPath(QFileInfo(QFile::decodeName(path)).absoluteFilePath()));
}

// Per user, per application: the window system's standard settings file.
QSettings Profile(LPCSTR appName)
{
    const QString name = QString::fromLatin1(appName);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, name, name);
}

// The menu names of the entries: the file name, with as many of the
// directories above it as it takes to tell it from every other entry.
QStringList MenuNames(const std::vector<CString>& paths)
{
    std::vector<QStringList> parts;
    for (const CString& path : paths)
        parts.push_back(PathText(path).split(QLatin1Char('/'), Qt::SkipEmptyParts));
    auto tail = [&](size_t i, qsizetype n) { return parts[i].mid(parts[i].size() - n); };
    QStringList names;
    for (size_t i = 0; i < parts.size(); ++i) {
        qsizetype n = std::min<qsizetype>(1, parts[i].size());
        const auto clashes = [&] {
            for (size_t j = 0; j < parts.size(); ++j)
                if (j != i && tail(j, std::min(n, parts[j].size())) == tail(i, n))
                    return true;
            return false;
        };
        while (n < parts[i].size() && clashes())
            ++n;
        QString name = tail(i, n).join(QLatin1Char('/'));
        // Only the root tells "/x.bmp" from "a/x.bmp".
        if (n == parts[i].size() && clashes() && PathText(paths[i]).startsWith(QLatin1Char('/')))
            name.prepend(QLatin1Char('/'));
        // '&' would mark a mnemonic.
        names << name.replace(QLatin1Char('&'), QLatin1String("&&"));
    }
    return names;
}

QString NumberedItem(qsizetype index, const QString& name)
{
    // Only one digit can carry the mnemonic.
    const QString number = QString::number(index + 1);
    return (index < 9 ? QLatin1String("&") + number : number) + QLatin1Char(' ') + name;
}

// The item of the menu that sends command `id`, or null.
QAction* ItemOf(QMenu* menu, UINT id)
{
    for (QAction* action : menu->actions())
        if (!action->isSeparator() && !action->menu() && action->data().toUInt() == id)
            return action;
    return nullptr;
}

} // namespace

// ---- The command line ---------------------------------------------------------------

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    if (bFlag || m_nShellCommand == FileOpen)
        return;
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

// ---- Settings and recent files --------------------------------------------------------

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    SettleAppName(); // the settings go by the name
    m_nMaxMRU = std::min(nMaxMRU, kMaxMru);
    m_recentFiles.clear();
    if (m_nMaxMRU == 0)
        return;
    QSettings settings = Profile(m_pszAppName ? m_pszAppName : AfxGetAppName());
    settings.beginGroup(QLatin1String(kRecentGroup));
    for (UINT i = 0; i < m_nMaxMRU; ++i) {
        const QString path = settings.value(QStringLiteral("File%1").arg(i + 1)).toString();
        if (path.isEmpty())
            continue;
        const CString entry = PathBytes(path);
        if (std::find(m_recentFiles.begin(), m_recentFiles.end(), entry) == m_recentFiles.end())
            m_recentFiles.push_back(entry);
    }
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_nMaxMRU == 0)
        return;
    QSettings settings = Profile(m_pszAppName ? m_pszAppName : AfxGetAppName());
    settings.beginGroup(QLatin1String(kRecentGroup));
    settings.remove(QString());
    for (size_t i = 0; i < m_recentFiles.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), PathText(m_recentFiles[i]));
    settings.endGroup();
    settings.sync();
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_nMaxMRU == 0 || !lpszPathName || !*lpszPathName)
        return;
    const CString path = AbsolutePath(lpszPathName);
    std::erase(m_recentFiles, path);
    m_recentFiles.insert(m_recentFiles.begin(), path);
    if (m_recentFiles.size() > m_nMaxMRU)
        m_recentFiles.resize(m_nMaxMRU);
    SaveStdProfileSettings();
}

void CWinApp::RemoveFromRecentFileList(const CString& path)
{
    if (std::erase(m_recentFiles, path) != 0)
        SaveStdProfileSettings();
}

void CWinApp::OnOpenRecentFile(UINT nID)
{
    const size_t index = nID - kFileMru1;
    if (index >= m_recentFiles.size())
        return;
    // A copy: opening rearranges the list.
    const CString path = m_recentFiles[index];
    if (!OpenDocumentFile(path))
        RemoveFromRecentFileList(path);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* pCmdUI)
{
    // Only a menu item of a frame can be replaced by the list; anything else
    // (a key's check before it runs) is told whether there is a first entry.
    auto* item = dynamic_cast<ActionCmdUI*>(pCmdUI);
    QMenu* menu = item ? qobject_cast<QMenu*>(item->Action()->parent()) : nullptr;
    if (!menu || !item->Host()) {
        pCmdUI->Enable(!m_recentFiles.empty());
        return;
    }
    // The first entry takes over the placeholder's item, so that the next
    // update finds it again; the others go after it, made once and hidden
    // while unused, since the menu may be walking its items right now.
    QAction* first = item->Action();
    if (!first->property(kPlaceholderText).isValid())
        first->setProperty(kPlaceholderText, first->text());
    const QStringList names = MenuNames(m_recentFiles);
    QAction* previous = first;
    for (qsizetype i = 1; i < qsizetype{kMaxMru}; ++i) {
        const UINT id = kFileMru1 + static_cast<UINT>(i);
        QAction* entry = ItemOf(menu, id);
        if (!entry && i >= names.size())
            break;
        if (!entry) {
            const QList<QAction*> items = menu->actions();
            const qsizetype at = items.indexOf(previous) + 1;
            entry = item->Host()->InsertCommandItem(menu, at < items.size() ? items[at] : nullptr,
                                                    id, QString());
        }
        entry->setVisible(i < names.size());
        if (i < names.size())
            entry->setText(NumberedItem(i, names[i]));
        previous = entry;
    }
    if (names.isEmpty()) {
        first->setText(first->property(kPlaceholderText).toString());
        pCmdUI->Enable(FALSE);
        return;
    }
    first->setText(NumberedItem(0, names[0]));
    pCmdUI->Enable(TRUE);
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
    CString path;
    if (AfxPromptOpenFileName(main ? main->GetSafeHwnd() : nullptr, kOpenTitle,
                              AfxFileOpenFilters(GetDocTemplateString()), path) != IDOK ||
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
    // Only '-' starts an option: '/' starts a path here.
    for (size_t i = 0; i < m_arguments.size(); ++i) {
        const char* arg = m_arguments[i].GetString();
        const bool flag = arg[0] == '-';
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
    EnsureApplication(argc, argv);
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
