// The viewer's command line: the options it answers without a window, and unknown ones.

#include "RunProgram.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Without a display, so a window the viewer tried to open would fail; a mistyped option must not
// start the viewer on an empty picture.
TEST(CommandLine, AnswersHelpAndVersionAndRefusesUnknownOptions)
{
    const std::string version = std::string("PIXMORA Application ") + PIXMORA_VERSION + "\n";
    const std::string help = "Usage: pixmora [FILE.bmp]\n";
    struct Case
    {
        std::vector<std::string> args;
        std::string refused; // the option named, or empty when the program answers
        bool isVersion = false;
    };
    for (const Case& c : {
             Case{{"--version"}, "", true}, Case{{"--help"}, ""}, Case{{"-h"}, ""},
             Case{{"--help", "--version"}, ""}, Case{{"--version", "--help"}, "", true},
             Case{{"/nonexistent/picture.bmp", "--version"}, "", true},
             Case{{"--bogus"}, "--bogus"}, Case{{"-"}, "-"}, Case{{"--Version"}, "--Version"},
             Case{{"--help=all"}, "--help=all"}, Case{{"-platform", "offscreen"}, "-platform"},
             Case{{"picture.bmp", "--zoom"}, "--zoom"},
             Case{{"--bogus", "--help"}, "--bogus"}, // refused before the later option is looked at
         }) {
        SCOPED_TRACE(c.args[0]);
        const ProgramRun run = RunProgram(PIXMORA_VIEWER, c.args,
                                          "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ");
        if (!c.refused.empty()) {
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err,
                      "pixmora: unknown option '" + c.refused + "'\nTry 'pixmora --help'.\n");
            continue;
        }
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        if (c.isVersion)
            EXPECT_EQ(run.out, version);
        else
            EXPECT_EQ(run.out.rfind(help, 0), 0u) << run.out;
    }
    // After "--" an option's name is a file, so the viewer starts and finds no display.
    const ProgramRun files = RunProgram(PIXMORA_VIEWER, {"--", "--help", "-x"},
                                        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ");
    EXPECT_NE(files.status, 0);
    EXPECT_EQ(files.out, "");
    EXPECT_EQ(files.err.find("unknown option"), std::string::npos) << files.err;
}

} // namespace
