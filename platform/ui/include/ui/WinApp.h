#pragma once

// The application object: the one object that starts the program, runs its
// message loop until the main window goes, keeps the recent-file list and
// answers the commands that belong to no window (New, Open, Exit, the
// recent files). It is the last stop of every frame's command route.
//
// A program derives its own class, makes exactly one global instance and
// calls AfxWinMain from main:
//
//     class CMyApp : public CWinApp {
//     public:
//         BOOL InitInstance() override;
//         DECLARE_MESSAGE_MAP()
//     };
//
//     BEGIN_MESSAGE_MAP(CMyApp, CWinApp)
//         ON_COMMAND(ID_FILE_NEW, OnFileNew)   // CWinApp's own handlers
//         ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
//     END_MESSAGE_MAP()
//
//     CMyApp theApp;
//     int main(int argc, char** argv) { return AfxWinMain(argc, argv); }

#include "core/String.h"
#include "ui/CmdTarget.h"

#include <vector>

class CDocTemplate;
class CDocument;
class CFrameWnd;
class CWnd;

// What the command line asks for at start-up.
class CCommandLineInfo : public CObject
{
public:
    enum
    {
        FileNew,
        FileOpen,
        FileNothing = -1,
    } m_nShellCommand = FileNew;

    // The file to open with FileOpen.
    CString m_strFileName;

    // One argument: an option's name without its '-' (bFlag), or a
    // parameter. bLast marks the final argument. The first parameter is the
    // file to open; options change nothing, and further parameters are
    // named on standard error as not opened.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);
};

class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)

public:
    // The name captions message boxes and names the settings; null takes
    // string AFX_IDS_APP_TITLE once the resources are there (InitApplication).
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    // The application's name, or null until it is known.
    LPCSTR m_pszAppName = nullptr;

    // The main window: whoever makes it sets this. Run ends when it is
    // destroyed, and is cleared then.
    CWnd* m_pMainWnd = nullptr;

    // ---- Running ----

    // Before InitInstance: settles the application's name.
    virtual BOOL InitApplication();
    // The program's own start-up; FALSE ends the process without a loop.
    virtual BOOL InitInstance();
    // Runs the message loop while the main window lives; returns ExitInstance's result.
    virtual int Run();
    // After the loop: saves the settings; the result is the exit code (the
    // loop's, by default).
    virtual int ExitInstance();

    // Dialogs already look like the rest of the desktop; kept so that a
    // program asking for it needs nothing else.
    BOOL Enable3dControls() { return TRUE; }

    // The main window, or the one made known with AfxSetMainWnd.
    CWnd* GetMainWnd() const;

    // ---- Settings and recent files ----

    // Loads the recent-file list (at most nMaxMRU entries, up to 16) from
    // the user's settings for this application. Without this call the list
    // stays off.
    void LoadStdProfileSettings(UINT nMaxMRU = 4);
    void SaveStdProfileSettings();

    // Puts the file first in the list as its absolute path; an entry for the
    // same file moves up instead of doubling, and the oldest falls off.
    // Saved at once, so that a crash loses nothing.
    virtual void AddToRecentFileList(LPCSTR lpszPathName);
    // Newest first.
    const std::vector<CString>& GetRecentFileList() const { return m_recentFiles; }

    // ---- Documents ----

    // The application owns the template from here on and deletes it when
    // the application object goes. New and Open use the first one added.
    void AddDocTemplate(CDocTemplate* pTemplate);

    // Opens the file as the document through the document template; null
    // when it cannot be opened, or while there is no template.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszFileName);

    // ---- Command line ----

    // The arguments after the program's name (AfxWinMain sets them).
    void SetCommandLine(std::vector<CString> arguments);
    // Feeds every argument to rCmdInfo.ParseParam; '-' starts an option
    // until "--", which ends them and is not fed itself.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // New or open as asked; FALSE when that left no main window or the file
    // did not open.
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // ---- Commands ----

    // File > New: the document template's new document (which makes the
    // document, frame and view the first time); nothing without a template.
    virtual void OnFileNew();
    // File > Open: the file-open dialog with the document type's filter
    // first and all files after it, then OpenDocumentFile on the choice.
    virtual void OnFileOpen();
    // File > Exit: closes the main window, which ends the loop.
    void OnAppExit();

protected:
    // The document template string whose filter name and extension (fields
    // 4 and 5) the file-open dialog offers: the document template's; empty
    // without one, which leaves only all files.
    virtual CString GetDocTemplateString() const;

    // The recent-file entries: command ID_FILE_MRU_FILE1 + index.
    void OnOpenRecentFile(UINT nID);
    // Shows the list in the menu in place of the first entry's item, or
    // leaves that item as a grayed placeholder while the list is empty.
    void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    friend class CFrameWnd;

    // A frame's window is being destroyed, the frame still whole: the main
    // window's end ends the run.
    void FrameDestroyed(CFrameWnd* pFrame);
    void SettleAppName();
    void RemoveFromRecentFileList(const CString& path);

    CString m_strAppName;
    std::vector<CString> m_arguments;
    std::vector<CString> m_recentFiles;
    std::vector<CDocTemplate*> m_templates; // owned
    UINT m_nMaxMRU = 0;
    bool m_running = false;
    int m_nExitCode = 0;
};

// The one application object, or null.
CWinApp* AfxGetApp();

// The application's main window: the owner of dialogs made without a parent.
// It is known without an application object too.
CWnd* AfxGetMainWnd();
void AfxSetMainWnd(CWnd* pWnd);

// The filters the file-open dialog offers for a document template string:
// "<field 4> (*<field 5>)" when both fields are there, then all files.
std::vector<CString> AfxFileOpenFilters(LPCSTR lpszDocString);

// Makes sure of the window system, then InitApplication, InitInstance and
// (when that succeeded) Run on the application object. Returns the exit code.
int AfxWinMain(int argc, char** argv);
