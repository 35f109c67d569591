// pixmora-render run as a user would: its exit status, its messages and the PPM it writes.

#include "BmpBytes.h"
#include "BmpSuite.h"
#include "RgbImage.h"
#include "RunProgram.h"
#include "core/File.h"
#include "dib/Dib.h"
#include "gdi/Dc.h"
#include "gdi/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

ProgramRun RunTool(const std::vector<std::string>& args)
{
    return RunProgram(PIXMORA_RENDER_TOOL, args);
}

bool Exists(const std::string& path)
{
    return std::ifstream(path).good();
}

// A fresh output path, with no file left there by an earlier run.
std::string FreshOutput(const std::string& name)
{
    const std::string path = OutputPath(name);
    std::remove(path.c_str());
    return path;
}

std::string WriteInput(const std::string& name, const std::vector<BYTE>& bytes)
{
    const std::string path = OutputPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

RgbImage ReadOutput(const std::string& path)
{
    RgbImage image;
    EXPECT_TRUE(LoadPpm(path, image)) << path << " is not a whole P6 PPM";
    return image;
}

const std::string kPal8 = BmpSuitePath("g/pal8.bmp"); // 127 x 64, 8 bits

// 1: the command's or the file layer's fault, 2: refused, 3: nothing to draw or too large.
TEST(RenderTool, FailuresExitWithTheirStatusAndMessageAndWriteNothing)
{
    const ProgramRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: pixmora-render", 0), 0u) << help.out;
    EXPECT_EQ(help.err, "");

    const std::string text = OutputPath("not-a-bitmap.bmp");
    std::ofstream(text) << "This is plain text, not a picture.\n";
    // Claims 100000 x 100000 pixels in 2 KiB.
    const std::string huge = WriteInput(
        "huge.bmp",
        BmpBytes().FileHeader(0, 1078).InfoHeader(100000, 100000, 8).Ramp(2048).Vector());
    const std::string out = FreshOutput("out.ppm");
    const std::string missing = BmpSuitePath("g/no-such-file.bmp");
    const auto fileMessage = [](const std::string& path) {
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path.c_str(), CFile::modeRead, &error));
        return std::string(error.GetErrorMessage()) + "\n";
    };
    struct Case
    {
        std::vector<std::string> args;
        int status;
        std::string message;
        std::string environment = "";
    };
    const std::string usage = "usage: pixmora-render";
    const Case cases[] = {
        {{}, 1, usage},
        {{kPal8, out, "extra"}, 1, usage},
        {{kPal8, out, "--scale"}, 1, usage},
        {{"--zoom", "2", kPal8, out}, 1, usage},
        {{"--scale", "0", kPal8, out}, 1, usage},
        {{"--scale", "inf", kPal8, out}, 1, usage},
        {{"--scale", "2x", kPal8, out}, 1, usage},
        {{"--viewport", "10x10", kPal8, out}, 1, usage},
        {{"--viewport", "10x10+-1+0", kPal8, out}, 1, usage},
        {{"--viewport", "0x10+0+0", kPal8, out}, 1, usage},
        {{"--viewport", "10x99999999999+0+0", kPal8, out}, 1, usage},
        {{missing, out}, 1, fileMessage(missing)},
        {{BmpSuitePath("g"), out}, 1, fileMessage(BmpSuitePath("g"))},
        {{text, out}, 2, "Failed to load image!\n"},
        {{BmpSuitePath("x/ba-bm.bmp"), out}, 2, "Failed to load image!\n"},
        {{"--scale", "0.001", kPal8, out}, 3, "nothing to draw"},
        {{"--scale", "0.01", "--viewport", "8x8+0+0", kPal8, out}, 3, "nothing to draw"},
        {{"--viewport", "8x8+127+0", kPal8, out}, 3, "nothing to draw"},
        {{"--viewport", "2000x2000+0+64", kPal8, out}, 3, "nothing to draw"},
        // 500 times 127 x 64 would take about 8 GiB.
        {{"--scale", "500", kPal8, out}, 3, "; use --viewport"},
        {{huge, out}, 3, "; use --viewport"},
        {{"--scale", "500", "--viewport", "20000x20000+0+0", kPal8, out},
         1,
         "use a smaller --viewport"},
        {{kPal8, OutputPath("no-such-folder/out.ppm")}, 1, "cannot write"},
        // A write cut short leaves no partial picture; a full device is not the tool's to remove.
        {{"--scale", "7", kPal8, out},
         1,
         "cannot write: File too large",
         "trap '' XFSZ; ulimit -f 200; "},
        {{kPal8, "/dev/full"}, 1, "cannot write"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const std::string& arg : c.args)
            joined += "[" + arg + "]";
        SCOPED_TRACE(joined);
        const ProgramRun run = RunProgram(PIXMORA_RENDER_TOOL, c.args, c.environment);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(out));
    }
    EXPECT_TRUE(Exists("/dev/full"));
}

// Written a band of rows at a time; at 7 times (1.1 MiB) a picture takes more than one write.
TEST(RenderTool, WritesWhatOneDrawShows)
{
    // Top-down and cut off halfway.
    const std::string cut = WriteInput(
        "cut-top-down.bmp",
        BmpBytes().FileHeader(0, 1078).InfoHeader(40, -40, 8).Ramp(1024, 1).Ramp(800, 7).Vector());
    struct Case
    {
        std::string input;
        double scale;
        const char* viewport; // empty: the whole picture
    };
    for (const Case& c :
         {Case{kPal8, 1, ""}, Case{cut, 7, ""}, Case{BmpSuitePath("q/pal8rletrns.bmp"), 7, ""},
          Case{BmpSuitePath("q/rgb24jpeg.bmp"), 7, ""}, Case{kPal8, 7, "300x100+500+340"},
          Case{kPal8, 7, "40x30+870+440"}, Case{kPal8, 7, "1920x1080+0+0"}}) {
        SCOPED_TRACE(c.input + " " + c.viewport);
        CFile file(c.input.c_str(), CFile::modeRead);
        CDib dib;
        const bool read = dib.Read(&file);
        const CSize size = dib.GetDrawnSize(c.scale);
        CSurface whole(size.cx, size.cy, RGB(0, 0, 0));
        CSurfaceDC dc(&whole);
        const int expected = !read ? 2 : dib.Draw(&dc, 0, 0, c.scale) == 0 ? 3 : 0;
        int width = size.cx, height = size.cy, x = 0, y = 0;
        const std::string out = FreshOutput("out.ppm");
        std::vector<std::string> args = {"--scale", std::to_string(c.scale), c.input, out};
        if (*c.viewport != '\0') {
            ASSERT_EQ(std::sscanf(c.viewport, "%dx%d+%d+%d", &width, &height, &x, &y), 4);
            args.insert(args.end(), {"--viewport", c.viewport});
        }
        const ProgramRun run = RunTool(args);
        ASSERT_EQ(run.status, expected) << run.err;
        if (expected != 0) {
            EXPECT_EQ(expected == 3, run.err.find("nothing could be drawn") != std::string::npos);
            continue;
        }
        EXPECT_EQ(run.err, "");
        const RgbImage image = ReadOutput(out);
        ASSERT_EQ(image.width, std::min<int>(width, size.cx - x));
        ASSERT_EQ(image.height, std::min<int>(height, size.cy - y));
        const PixelComparison match =
            ComparePixels(image, whole.Row(y) + x, image.width, image.height,
                          static_cast<size_t>(whole.Width()), 0);
        EXPECT_TRUE(match.Matches()) << match.report;
    }
    const std::string out = FreshOutput("part.ppm");
    const ProgramRun run =
        RunTool({"--scale", "500", "--viewport", "64x48+30000+16000", kPal8, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadOutput(out).width, 64);
}

} // namespace
