// The message loop without an application object: the Qt application, pumping, running, quitting.

#include "ui/MessageLoop.h"

#include <QApplication>

#include <string>
#include <vector>

namespace {

bool g_quitPending = false;
int g_exitCode = 0;

} // namespace

void EnsureApplication(int argc, char** argv)
{
    if (QCoreApplication::instance())
        return;
    // Qt keeps referring to the arguments: they live as long as the process.
    static int s_argc = 0;
    static std::vector<std::string> s_storage;
    static std::vector<char*> s_argv;
    for (int i = 0; i < argc && argv; ++i)
        s_storage.emplace_back(argv[i]);
    if (s_storage.empty())
        s_storage.emplace_back("pixmora");
    for (std::string& arg : s_storage)
        s_argv.push_back(arg.data());
    s_argv.push_back(nullptr);
    s_argc = static_cast<int>(s_storage.size());
    // Never deleted: windows may outlive any scope that could own it.
    new QApplication(s_argc, s_argv.data());
}

void PumpMessages()
{
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // Outside a running loop Qt keeps deferred deletions: widgets of
    // destroyed windows go here.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int RunMessageLoop()
{
    EnsureApplication();
    if (!g_quitPending)
        g_exitCode = QApplication::exec();
    g_quitPending = false;
    return g_exitCode;
}

void PostQuitMessage(int nExitCode)
{
    // A quit asked for before the loop runs ends it as soon as it starts.
    g_quitPending = true;
    g_exitCode = nExitCode;
    QCoreApplication::exit(nExitCode);
}
