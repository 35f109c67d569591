// Runs the built viewer with the options it answers without a window, with no
// display anywhere in its environment: a window it tried to open would fail.

#include "RunProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// With no display anywhere in its environment.
ProgramRun RunViewer(const std::vector<std::string>& args)
{
    return RunProgram(PIXMORA_VIEWER, args,
                      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ");
}

TEST(CommandLine, VersionIsTheVersionBlocksProductNameAndVersion)
{
    // PIXMORA_VERSION is what the build and the package read from the version
    // block's strings; the program prints its fixed part, so the two must agree.
    const ProgramRun run = RunViewer({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("PIXMORA Application ") + PIXMORA_VERSION + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(CommandLine, HelpListsTheUsageAndEveryOption)
{
    for (const char* option : {"--help", "-h"}) {
        const ProgramRun run = RunViewer({option});
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
    const ProgramRun run = RunViewer({"/nonexistent/picture.bmp", "--version"});
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
        const ProgramRun run = RunViewer(args);
        const std::string first = args[0].starts_with('-') ? args[0] : args[1];
        EXPECT_EQ(run.status, 2) << first;
        EXPECT_EQ(run.out, "") << first;
        EXPECT_EQ(run.err, "pixmora: unknown option '" + first + "'\nTry 'pixmora --help'.\n");
    }
}

} // namespace
