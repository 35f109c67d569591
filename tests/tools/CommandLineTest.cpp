// The viewer's command line: the options it answers without a window, and unknown ones.
//
// No display is anywhere in its environment: a window it tried to open would fail.

#include "RunProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

ProgramRun RunViewer(const std::vector<std::string>& args)
{
    return RunProgram(PIXMORA_VIEWER, args,
                      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ");
}

// PIXMORA_VERSION is what the build and the package read from the version
// block's strings; the program prints its fixed part, so the two must agree.
// The first of --help and --version answers, after a file name too, and the
// file is not opened.
TEST(CommandLine, HelpAndVersionAnswerWithoutADisplay)
{
    const std::string version = std::string("PIXMORA Application ") + PIXMORA_VERSION + "\n";
    using Case =
        std::pair<std::vector<std::string>, bool>; // the arguments, whether version answers
    for (const auto& [args, isVersion] :
         {Case{{"--version"}, true}, Case{{"--help"}, false}, Case{{"-h"}, false},
          Case{{"--help", "--version"}, false}, Case{{"--version", "--help"}, true},
          Case{{"/nonexistent/picture.bmp", "--version"}, true}}) {
        const ProgramRun run = RunViewer(args);
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        if (isVersion) {
            EXPECT_EQ(run.out, version);
            continue;
        }
        EXPECT_EQ(run.out.rfind("Usage: pixmora [FILE.bmp]\n", 0), 0u) << run.out;
        for (const char* listed : {"-h, --help", "--version"})
            EXPECT_NE(run.out.find(listed), std::string::npos) << listed;
    }
}

// A mistyped option must not start the viewer on an empty picture: it is named
// on stderr, nothing goes to stdout, and the status is 2.
TEST(CommandLine, UnknownOptionsAreRefusedWithStatusTwo)
{
    const std::vector<std::vector<std::string>> lines = {
        {"--bogus"},
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
