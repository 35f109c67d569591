// Runs the built pixmora-render as a user would and checks its exit status,
// its messages and the PPM it writes.

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

// A fresh output path, with no file left there by an earlier run.
std::string FreshOutput(const std::string& name)
{
    const std::string path = OutputPath(name);
    std::remove(path.c_str());
    return path;
}

bool Exists(const std::string& path)
{
    return std::ifstream(path).good();
}

// Exactly the header the tool writes, and the pixels after it.
RgbImage ReadOutput(const std::string& path)
{
    RgbImage image;
    EXPECT_TRUE(LoadPpm(path, image)) << path << " is not a whole P6 PPM";
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    const std::string header =
        "P6\n" + std::to_string(image.width) + " " + std::to_string(image.height) + "\n255\n";
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + std::min(bytes.size(), header.size())),
              header);
    return image;
}

const std::string kPal8 = BmpSuitePath("g/pal8.bmp"); // 127 x 64, 8 bits
constexpr char kUsagePrefix[] = "usage: pixmora-render";

TEST(RenderTool, BadArgumentsPrintUsageAndExit1)
{
    const std::string out = FreshOutput("out.ppm");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {kPal8},
        {kPal8, out, "extra"},
        {kPal8, out, "--scale"},
        {"--scale", "0", kPal8, out},
        {"--scale", "-2", kPal8, out},
        {"--scale", "nan", kPal8, out},
        {"--scale", "inf", kPal8, out},
        {"--scale", "2x", kPal8, out},
        {"--scale", "", kPal8, out},
        {"--viewport", "10x10", kPal8, out},
        {"--viewport", "10x10+-1+0", kPal8, out},
        {"--viewport", "10x10+0-1", kPal8, out},
        {"--viewport", "0x10+0+0", kPal8, out},
        {"--viewport", "10x10+0+0+", kPal8, out},
        {"--viewport", " 10x10+0+0", kPal8, out},
        {"--viewport", "10x99999999999+0+0", kPal8, out},
        {"--zoom", "2", kPal8, out},
    };
    for (const std::vector<std::string>& args : cases) {
        std::string joined;
        for (const std::string& a : args)
            joined += "[" + a + "]";
        SCOPED_TRACE(joined);
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind(kUsagePrefix, 0), 0u) << run.err;
    }
    EXPECT_FALSE(Exists(out));
}

// The tool says what the file layer says, whatever went wrong.
TEST(RenderTool, InputThatCannotBeOpenedExits1WithTheFileMessage)
{
    for (const std::string& input : {BmpSuitePath("g/no-such-file.bmp"), BmpSuitePath("g")}) {
        SCOPED_TRACE(input);
        CFile file;
        CFileException error;
        ASSERT_FALSE(file.Open(input.c_str(), CFile::modeRead, &error));
        const ProgramRun run = RunTool({input, FreshOutput("out.ppm")});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, std::string(error.GetErrorMessage()) + "\n");
    }
}

TEST(RenderTool, RefusedFileExits2WithTheViewerMessage)
{
    const std::string text = OutputPath("not-a-bitmap.bmp");
    std::ofstream(text) << "This is plain text, not a picture.\n";
    for (const std::string& input : {text, BmpSuitePath("x/ba-bm.bmp")}) {
        SCOPED_TRACE(input);
        const std::string out = FreshOutput("out.ppm");
        const ProgramRun run = RunTool({input, out});
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "Failed to load image!\n");
        EXPECT_FALSE(Exists(out));
    }
}

// Formats the drawing call may not take: whatever the reader and the drawing
// call make of each file, the exit status says the same.
TEST(RenderTool, ExitStatusFollowsReadAndDraw)
{
    for (const char* name : {"q/rgba64.bmp", "q/rgb24jpeg.bmp", "q/rgb24rle24.bmp",
                             "q/pal1huffmsb.bmp", "g/pal4rle.bmp"}) {
        const std::string input = BmpSuitePath(name);
        SCOPED_TRACE(input);
        CFile file(input.c_str(), CFile::modeRead);
        CDib dib;
        int expected = 2;
        if (dib.Read(&file)) {
            CSurface surface(std::min<int>(dib.m_pInfo->bmiHeader.biWidth, 256),
                             std::min<int>(std::abs(dib.m_pInfo->bmiHeader.biHeight), 256));
            CSurfaceDC dc(&surface);
            expected = dib.Draw(&dc, 0, 0, 1.0) == 0 ? 3 : 0;
        }
        const ProgramRun run = RunTool({input, FreshOutput("out.ppm")});
        EXPECT_EQ(run.status, expected) << run.err;
        if (expected == 3) {
            EXPECT_NE(run.err.find("nothing could be drawn"), std::string::npos) << run.err;
        }
    }
}

// No portable PPM is 0 pixels wide, and a window onto nothing is no drawing:
// neither is a window right of or below the picture (127 x 64 here).
TEST(RenderTool, NothingToDrawExits3)
{
    const std::string out = FreshOutput("out.ppm");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--scale", "0.001", kPal8, out},
          std::vector<std::string>{"--scale", "0.01", "--viewport", "8x8+0+0", kPal8, out},
          std::vector<std::string>{"--viewport", "8x8+127+0", kPal8, out},
          std::vector<std::string>{"--viewport", "2000x2000+0+64", kPal8, out}}) {
        const ProgramRun run = RunTool(args);
        EXPECT_EQ(run.status, 3);
        EXPECT_NE(run.err.find("nothing to draw"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(Exists(out));
}

// A picture too large to draw whole is not the command's fault (3), a window
// too large is (1); each message says what to ask instead. A window onto the
// part of such a picture that matters is cheap.
TEST(RenderTool, HugeSurfacePointsAtViewport)
{
    // Claims 100000 x 100000 pixels in 2 KiB.
    const std::string hostile = OutputPath("huge.bmp");
    const std::vector<BYTE> bytes =
        BmpBytes().FileHeader(0, 1078).InfoHeader(100000, 100000, 8).Ramp(1024).Ramp(1024).Vector();
    std::ofstream(hostile, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    const std::string out = FreshOutput("out.ppm");
    struct Case
    {
        std::vector<std::string> args;
        int status;
        const char* advice;
    };
    // 500 times 127 x 64 would take about 8 GiB.
    for (const Case& c : {Case{{"--scale", "500", kPal8, out}, 3, "; use --viewport"},
                          Case{{hostile, out}, 3, "; use --viewport"},
                          Case{{"--scale", "500", "--viewport", "20000x20000+0+0", kPal8, out},
                               1,
                               "use a smaller --viewport"}}) {
        SCOPED_TRACE(c.args[c.args.size() - 2]);
        const ProgramRun run = RunTool(c.args);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.advice), std::string::npos) << run.err;
        EXPECT_FALSE(Exists(out));
    }

    for (const std::string& input : {kPal8, hostile}) {
        const ProgramRun window =
            RunTool({"--scale", "500", "--viewport", "64x48+30000+16000", input, out});
        ASSERT_EQ(window.status, 0) << window.err;
        const RgbImage image = ReadOutput(out);
        EXPECT_EQ(image.width, 64);
        EXPECT_EQ(image.height, 48);
    }
}

TEST(RenderTool, DrawsWhatTheReferenceShows)
{
    const std::string out = FreshOutput("out.ppm");
    const ProgramRun run = RunTool({kPal8, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const RgbImage image = ReadOutput(out);
    RgbImage ref;
    ASSERT_TRUE(LoadPng(BmpSuitePath("ref/g-pal8.png"), ref));

    // The PPM's bytes as surface words, to reuse the pixel comparison.
    std::vector<DWORD> words(image.rgb.size() / 3);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<DWORD>(image.rgb[3 * i] << 16 | image.rgb[3 * i + 1] << 8 |
                                      image.rgb[3 * i + 2]);
    const PixelComparison c =
        ComparePixels(ref, words.data(), image.width, image.height, image.width, 0);
    EXPECT_TRUE(c.Matches()) << c.differing << " pixels differ:" << c.report;
}

// Drawn and written a band of rows at a time, a whole picture at 7 times
// (many bands) is what one draw of it shows: the pixels that a run-length
// picture skips, or a short file lacks, stay black in every band.
TEST(RenderTool, BandsShowWhatOneDrawShows)
{
    // Top-down and cut off halfway: its first rows are drawn, its last are not.
    const std::string cut = OutputPath("cut-top-down.bmp");
    const std::vector<BYTE> bytes =
        BmpBytes().FileHeader(0, 1078).InfoHeader(40, -40, 8).Ramp(1024, 1).Ramp(800, 7).Vector();
    std::ofstream(cut, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    for (const std::string& input :
         {BmpSuitePath("q/pal8rletrns.bmp"), cut, BmpSuitePath("g/rgb24.bmp")}) {
        SCOPED_TRACE(input);
        const std::string out = FreshOutput("out.ppm");
        const ProgramRun run = RunTool({"--scale", "7", input, out});
        ASSERT_EQ(run.status, 0) << run.err;
        const RgbImage image = ReadOutput(out);

        CFile file(input.c_str(), CFile::modeRead);
        CDib dib;
        ASSERT_TRUE(dib.Read(&file));
        const CSize size = dib.GetDrawnSize(7);
        CSurface surface(size.cx, size.cy, RGB(0, 0, 0));
        CSurfaceDC dc(&surface);
        dib.Draw(&dc, 0, 0, 7);
        ASSERT_EQ(image.width, size.cx);
        ASSERT_EQ(image.height, size.cy);
        long wrong = 0;
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                const COLORREF c = SurfaceColor(surface.Row(y)[x]);
                const BYTE want[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                wrong += !std::equal(want, want + 3, image.At(x, y));
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// A viewport shows the same pixels as the whole scaled picture does at that
// place, clipped to the picture's right and bottom edges. At 7 times the whole
// picture's PPM (1.1 MiB) goes out in more than one write.
TEST(RenderTool, ViewportIsAWindowOntoTheScaledPicture)
{
    const std::string whole = FreshOutput("whole.ppm");
    const std::string part = FreshOutput("part.ppm");
    // Options may follow the file names.
    ProgramRun run = RunTool({kPal8, whole, "--scale", "7"});
    ASSERT_EQ(run.status, 0) << run.err;
    const RgbImage full = ReadOutput(whole);
    ASSERT_EQ(full.width, 889);
    ASSERT_EQ(full.height, 448);

    struct Window
    {
        int w, h, x, y;
        int clippedW, clippedH;
    };
    for (const Window v : {Window{40, 30, 100, 50, 40, 30}, Window{300, 100, 500, 340, 300, 100},
                           Window{40, 30, 870, 440, 19, 8}, Window{1920, 1080, 0, 0, 889, 448},
                           Window{800, 10, 89, 0, 800, 10}}) {
        const std::string viewport = std::to_string(v.w) + "x" + std::to_string(v.h) + "+" +
                                     std::to_string(v.x) + "+" + std::to_string(v.y);
        SCOPED_TRACE(viewport);
        run = RunTool({"--scale", "7", "--viewport", viewport, kPal8, part});
        ASSERT_EQ(run.status, 0) << run.err;
        const RgbImage window = ReadOutput(part);
        ASSERT_EQ(window.width, v.clippedW);
        ASSERT_EQ(window.height, v.clippedH);
        long wrong = 0;
        for (int y = 0; y < window.height; ++y) {
            for (int x = 0; x < window.width; ++x) {
                const BYTE* want = full.At(v.x + x, v.y + y);
                wrong += !std::equal(want, want + 3, window.At(x, y));
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(RenderTool, UnwritableOutputExits1)
{
    ProgramRun run = RunTool({kPal8, OutputPath("no-such-folder/out.ppm")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;

    // A file that fills up after a part of the picture is removed: a file size
    // limit far below its 1.1 MiB, with its signal ignored so that writes fail.
    const std::string out = FreshOutput("out.ppm");
    run = RunProgram(PIXMORA_RENDER_TOOL, {"--scale", "7", kPal8, out},
                     "trap '' XFSZ; ulimit -f 200; ");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write: File too large"), std::string::npos) << run.err;
    EXPECT_FALSE(Exists(out));

    // A device that refuses every write: the tool reports it and, not having
    // made it, leaves it where it is.
    if (Exists("/dev/full")) {
        run = RunTool({kPal8, "/dev/full"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
        EXPECT_TRUE(Exists("/dev/full"));
    }
}

} // namespace
