// Runs the built viewer with the options it answers without a window, with no
// display anywhere in its environment: a window it tried to open would fail.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct ViewerRun
{
    int status = -1; // the exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string OutputPath(const std::string& name)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(PIXMORA_TOOL_OUTPUT_DIR) + "/" + test->name() + "-" + name;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ViewerRun RunViewer(const std::vector<std::string>& args)
{
    const std::string outPath = OutputPath("stdout.txt");
    const std::string errPath = OutputPath("stderr.txt");
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    command.append(Quoted(PIXMORA_VIEWER));
    for (const std::string& arg : args)
        command.append(" ").append(Quoted(arg));
    command.append(" </dev/null >").append(Quoted(outPath)).append(" 2>").append(Quoted(errPath));
    const int raw = std::system(command.c_str());
    ViewerRun run;
    run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    return run;
}

TEST(CommandLine, VersionIsTheVersionBlocksProductNameAndVersion)
{
    // PIXMORA_VERSION is what the build and the package read from the version
    // block's strings; the program prints its fixed part, so the two must agree.
    const ViewerRun run = RunViewer({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("PIXMORA Application ") + PIXMORA_VERSION + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(CommandLine, HelpListsTheUsageAndEveryOption)
{
    for (const char* option : {"--help", "-h"}) {
        const ViewerRun run = RunViewer({option});
        EXPECT_EQ(run.status, 0) << option;
        EXPECT_EQ(run.out.rfind("Usage: pixmora [FILE.bmp]\n", 0), 0u) << run.out;
        for (const char* listed : {"-h, --help", "--version"})
            EXPECT_NE(run.out.find(listed), std::string::npos) << listed;
        EXPECT_EQ(run.err, "") << option;
    }
}

TEST(CommandLine, TheFirstOfHelpAndVersionAnswers)
{
    EXPECT_EQ(RunViewer({"--help", "--version"}).out.rfind("Usage:", 0), 0u);
    EXPECT_EQ(RunViewer({"--version", "--help"}).out,
              std::string("PIXMORA Application ") + PIXMORA_VERSION + "\n");
    // Found after a file name too, and the file is not opened.
    const ViewerRun run = RunViewer({"/nonexistent/picture.bmp", "--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

// A mistyped option must not start the viewer on an empty picture: it is named
// on stderr, nothing goes to stdout, and the status is 2.
TEST(CommandLine, UnknownOptionsAreRefusedWithStatusTwo)
{
    const std::vector<std::vector<std::string>> lines = {
        {"--bogus"},
        {"-x"},
        {"-"},
        {"--Version"},
        {"--help=all"},
        {"-platform", "offscreen"}, // the toolkit's settings come from its environment
        {"picture.bmp", "--zoom"},
        {"--bogus", "--help"}, // refused before the later option is looked at
    };
    for (const std::vector<std::string>& args : lines) {
        const ViewerRun run = RunViewer(args);
        const std::string first = args[0].starts_with('-') ? args[0] : args[1];
        EXPECT_EQ(run.status, 2) << first;
        EXPECT_EQ(run.out, "") << first;
        EXPECT_EQ(run.err, "pixmora: unknown option '" + first + "'\nTry 'pixmora --help'.\n");
    }
}

} // namespace
