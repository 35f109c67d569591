// The first frame as a user meets it: whole processes, each started afresh
// on a machine where other programs allocate and free memory between runs.
// An in-process loop hides what the kernel costs a new process (faulting in
// fresh memory, mapping the file) because it reuses memory it has just freed.
//
// Each timed run is the wall-clock time from posix_spawn to waitpid of one
// program that reads a picture and writes the top-left 1920 x 1080 window of
// it as a PPM (to /dev/null): pixmora-render --viewport, and the peer
// programs pixmora_peer_qt, pixmora_peer_stb and pixmora_peer_gdk. Before
// every run pixmora_bench_churn allocates, writes and frees as many bytes as
// the picture's file has, untimed. Separately, the 640 x 480 8-bit picture
// from process start to a real PPM file written, pixmora-render against
// stb_image.
//
// Before its first timed run, each peer's window is checked against
// pixmora-render's, untimed: a yardstick that draws a picture wrongly (or
// not at all, yet exits 0) is left out with the reason.
//
// The pictures are written into a temporary directory and removed at exit.
// The counters give each run's processor time (user + system, the child's
// own) and peak resident memory. Summaries with every ratio and target, from
// the median and the slowest of the repeated runs, follow the usual output.

#include "BenchSummary.h"
#include "Pictures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// Runs of each program: the median is the figure, the slowest the spread.
// The peers' decodes of the largest pictures take seconds, and only their
// medians are compared.
constexpr int kOurRuns = 7;
constexpr int kPeerRuns = 5;

constexpr double kFasterThanPeers = 10;
constexpr double kFasterThanPeersRle = 5;
constexpr double kSizeRatio = 2;
constexpr double kSpreadRatio = 2;
constexpr double kWholeRatio = 1.2;

constexpr const char* kWindow = "1920x1080+0+0";

struct Picture
{
    PictureKind kind;
    const char* format; // the small and large pictures of one format share it
};

const Picture kPictures[] = {
    {{"", 640, 480, 1, BI_RGB}, "1-bit"},     {{"", 640, 480, 4, BI_RGB}, "4-bit"},
    {{"", 640, 480, 8, BI_RGB}, "8-bit"},     {{"", 640, 480, 24, BI_RGB}, "24-bit"},
    {{"", 640, 480, 32, BI_RGB}, "32-bit"},   {{"", 640, 480, 8, BI_RLE8}, "RLE8"},
    {{"", 1920, 1080, 1, BI_RGB}, "1-bit"},   {{"", 1920, 1080, 4, BI_RGB}, "4-bit"},
    {{"", 1920, 1080, 8, BI_RGB}, "8-bit"},   {{"", 1920, 1080, 24, BI_RGB}, "24-bit"},
    {{"", 1920, 1080, 32, BI_RGB}, "32-bit"}, {{"", 1920, 1080, 8, BI_RLE8}, "RLE8"},
    {{"", 8000, 8000, 1, BI_RGB}, "1-bit"},   {{"", 8000, 8000, 4, BI_RGB}, "4-bit"},
    {{"", 8000, 8000, 8, BI_RGB}, "8-bit"},   {{"", 8000, 8000, 24, BI_RGB}, "24-bit"},
    {{"", 8000, 8000, 32, BI_RGB}, "32-bit"}, {{"", 8000, 8000, 8, BI_RLE8}, "RLE8"},
    {{"", 20000, 20000, 1, BI_RGB}, "1-bit"},
};

bool Small(const Picture& p)
{
    return p.kind.width == 640;
}

// As large as the window: its first frame draws what a large picture's does,
// from a small file.
bool WindowSized(const Picture& p)
{
    return p.kind.width == 1920;
}

std::string Label(const Picture& p)
{
    return std::string(p.format) + " " + std::to_string(p.kind.width) + "x" +
           std::to_string(p.kind.height);
}

const Picture& SameFormat(const Picture& p, bool (*which)(const Picture&))
{
    for (const Picture& s : kPictures)
        if (which(s) && std::strcmp(s.format, p.format) == 0)
            return s;
    return p;
}

enum Program
{
    kPixmora,
    kQt,
    kStb,
    kGdk,
};

const char* const kProgramNames[] = {"pixmora", "qt", "stb", "gdk"};
constexpr Program kPeers[] = {kQt, kStb, kGdk};

struct Paths
{
    std::string render;
    std::string peers[4];
    std::string churn;
};

Paths g_paths;

// The sibling programs, beside this one and in the build tree's tools/,
// whatever the working directory.
bool FindPrograms()
{
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return false;
    const std::filesystem::path dir = self.parent_path();
    g_paths.render = (dir / ".." / "tools" / "pixmora-render").lexically_normal();
    g_paths.peers[kQt] = dir / "pixmora_peer_qt";
    g_paths.peers[kStb] = dir / "pixmora_peer_stb";
    g_paths.peers[kGdk] = dir / "pixmora_peer_gdk";
    g_paths.churn = dir / "pixmora_bench_churn";
    bool found = true;
    for (const std::string& p : {g_paths.render, g_paths.peers[kQt], g_paths.peers[kStb],
                                 g_paths.peers[kGdk], g_paths.churn})
        if (::access(p.c_str(), X_OK) != 0) {
            std::fprintf(stderr, "%s is not built\n", p.c_str());
            found = false;
        }
    return found;
}

std::map<const Picture*, unsigned long long> g_fileBytes;

// The picture's file, written when first asked for. The small ones stay; of
// the large ones (up to a quarter of a gigabyte) only the latest is kept.
std::string PictureFile(const Picture& p)
{
    std::string name = Label(p);
    std::replace(name.begin(), name.end(), ' ', '-');
    const std::string path = PictureDir() + "/" + name + ".bmp";
    if (g_fileBytes.count(&p) != 0)
        return path;
    static std::string largest;
    if (!Small(p) && !WindowSized(p)) {
        if (!largest.empty())
            std::filesystem::remove(largest);
        largest = path;
    }
    // On the disk before any run, as a user's file is: writing back a
    // quarter of a gigabyte would otherwise take a processor from the runs.
    const int fd = WritePictureFile(p.kind, path) ? ::open(path.c_str(), O_RDONLY) : -1;
    if (fd < 0 || ::fsync(fd) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    ::close(fd);
    g_fileBytes[&p] = std::filesystem::file_size(path);
    return path;
}

struct Outcome
{
    int status = -1; // the exit status; -1 when it did not exit normally
    double seconds = 0;
    double cpuMs = 0;
    double peakMiB = 0;
    std::string message; // its first line on the standard error
};

double Seconds(const timespec& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Runs a program to its end, its output to /dev/null and its errors to a
// file. The time taken is what a user waits: from just before the process is
// created to just after it has been reaped.
Outcome Run(const std::vector<std::string>& args)
{
    const std::string errors = PictureDir() + "/stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    Outcome outcome;
    timespec start{};
    timespec end{};
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    pid_t reaped = -1;
    if (spawned == 0)
        do
            reaped = ::wait4(pid, &status, 0, &usage);
        while (reaped < 0 && errno == EINTR);
    clock_gettime(CLOCK_MONOTONIC, &end);
    posix_spawn_file_actions_destroy(&actions);

    if (spawned != 0 || reaped != pid) {
        outcome.message = std::string("cannot run ") + args[0] + ": " +
                          std::strerror(spawned != 0 ? spawned : errno);
        return outcome;
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.seconds = Seconds(end) - Seconds(start);
    outcome.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                    static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
    outcome.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    std::ifstream said(errors);
    std::getline(said >> std::ws, outcome.message);
    return outcome;
}

// Why a run failed, as the program said it, less the input's name.
std::string Failure(const Outcome& run, const std::string& input)
{
    std::string said = run.message;
    if (said.rfind(input + ": ", 0) == 0)
        said.erase(0, input.size() + 2);
    return "exit " + std::to_string(run.status) + ": " + said;
}

// A picture one program cannot read, or draws wrongly, fails the same way
// every time: its later repetitions are skipped at once, with the reason.
std::map<std::string, std::string> g_failed;

struct Ppm
{
    int width = 0;
    int height = 0;
    std::vector<char> rgb;
};

// Reads a P6 file with maxval 255 as the programs here write it: the header's
// three fields each followed by one whitespace character.
bool ReadPpm(const std::string& path, Ppm& ppm)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> ppm.width >> ppm.height >> maxval) || magic != "P6" || maxval != 255 ||
        ppm.width <= 0 || ppm.height <= 0 || in.get() == EOF)
        return false;
    ppm.rgb.resize(static_cast<size_t>(ppm.width) * static_cast<size_t>(ppm.height) * 3);
    return static_cast<bool>(in.read(ppm.rgb.data(), static_cast<std::streamsize>(ppm.rgb.size())));
}

// Whether two windows onto one picture agree where both have pixels.
bool SameWindow(const Ppm& a, const Ppm& b)
{
    const size_t w = static_cast<size_t>(std::min(a.width, b.width)) * 3;
    for (int y = 0; y < std::min(a.height, b.height); ++y)
        if (std::memcmp(a.rgb.data() + static_cast<size_t>(y) * a.width * 3,
                        b.rgb.data() + static_cast<size_t>(y) * b.width * 3, w) != 0)
            return false;
    return true;
}

// pixmora-render's window of the picture, the one the peers must match.
const Ppm* Reference(const Picture& p, const std::string& input)
{
    static const Picture* drawn = nullptr;
    static Ppm reference;
    static bool ok = false;
    if (drawn != &p) {
        drawn = &p;
        const std::string path = PictureDir() + "/reference.ppm";
        ok = Run({g_paths.render, "--viewport", kWindow, input, path}).status == 0 &&
             ReadPpm(path, reference);
        std::filesystem::remove(path);
    }
    return ok ? &reference : nullptr;
}

// Empty when the peer draws the picture's window as pixmora-render does.
std::string CheckPeer(const Picture& p, const std::string& input, Program peer)
{
    const std::string path = PictureDir() + "/check.ppm";
    const Outcome run = Run({g_paths.peers[peer], input, path});
    Ppm ppm;
    const bool read = run.status == 0 && ReadPpm(path, ppm);
    std::filesystem::remove(path);
    if (run.status != 0)
        return Failure(run, input);
    const Ppm* reference = Reference(p, input);
    if (!read || !reference)
        return "no window to compare";
    return SameWindow(ppm, *reference) ? "" : "its window differs from pixmora-render's";
}

// `whole`: the picture drawn whole into a real file, not a window to /dev/null.
void Process(benchmark::State& state, const Picture* picture, Program program, bool whole,
             std::string name)
{
    const std::string input = PictureFile(*picture);
    const std::string output = whole ? PictureDir() + "/out.ppm" : "/dev/null";
    std::vector<std::string> args;
    if (program == kPixmora) {
        args = {g_paths.render, "--viewport", kWindow, input, output};
        if (whole)
            args.erase(args.begin() + 1, args.begin() + 3);
    } else {
        args = {g_paths.peers[program], input, output};
    }
    static std::map<std::string, bool> checked;
    if (program != kPixmora && !whole && !checked[name]) {
        checked[name] = true;
        const std::string failure = CheckPeer(*picture, input, program);
        if (!failure.empty())
            g_failed[name] = failure;
    }
    for (auto _ : state) {
        const auto failed = g_failed.find(name);
        if (failed != g_failed.end()) {
            state.SkipWithError(failed->second.c_str());
            break;
        }
        if (whole)
            std::filesystem::remove(output);
        const Outcome churn = Run({g_paths.churn, std::to_string(g_fileBytes[picture])});
        if (churn.status != 0) {
            state.SkipWithError(("churn failed: " + churn.message).c_str());
            break;
        }
        const Outcome run = Run(args);
        if (run.status != 0) {
            g_failed[name] = Failure(run, input);
            state.SkipWithError(g_failed[name].c_str());
            break;
        }
        state.SetIterationTime(run.seconds);
        state.counters["cpu_ms"] = run.cpuMs;
        state.counters["peak_MiB"] = run.peakMiB;
    }
}

std::string FirstFrameName(const Picture& p, Program program)
{
    return "FirstFrame/" + Label(p) + "/" + kProgramNames[program];
}

std::string WholeName(Program program)
{
    return std::string("Whole/8-bit 640x480/") + kProgramNames[program];
}

void Register(const std::string& name, const Picture& p, Program program, bool whole)
{
    benchmark::RegisterBenchmark(name.c_str(), Process, &p, program, whole, name)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(program == kPixmora || whole ? kOurRuns : kPeerRuns)
        ->UseManualTime()
        ->ComputeStatistics(BenchSummary::kWorst, BenchSummary::Worst)
        ->DisplayAggregatesOnly(true);
}

std::string Ms(double ms)
{
    char text[32];
    std::snprintf(text, sizeof text, ms >= 100 ? "%.0f" : "%.1f", ms);
    return text;
}

// Tallies the targets as the tables print them.
struct Verdicts
{
    int met = 0;
    int missed = 0;
    const char* operator()(bool ok)
    {
        ++(ok ? met : missed);
        return ok ? "met" : "MISSED";
    }
};

void PrintSummary(const BenchSummary& s)
{
    Verdicts verdict;
    std::printf("\nAll figures below: wall-clock ms from process start to exit, the median (and "
                "the slowest) of %d runs of pixmora, %d of each peer; a churn of the file's size "
                "ran before each.\n(Above, the CPU column is this program's own; cpu_ms is the "
                "child's processor time, user + system, and peak_MiB its peak resident memory.)\n",
                kOurRuns, kPeerRuns);

    std::printf("\nFirst frame: read the file, write its top-left 1920x1080 window\n");
    std::printf("%-18s %7s %15s %15s %15s %15s %8s %7s\n", "picture", "MiB", "pixmora (worst)",
                "qt (worst)", "stb (worst)", "gdk (worst)", "peer/pix", "target");
    for (const Picture& p : kPictures) {
        const double ours = s.Time(FirstFrameName(p, kPixmora));
        std::printf(
            "%-18s %7.1f %15s", Label(p).c_str(),
            static_cast<double>(g_fileBytes[&p]) / (1024.0 * 1024.0),
            ours > 0
                ? (Ms(ours) + " (" + Ms(s.WorstTime(FirstFrameName(p, kPixmora))) + ")").c_str()
                : "n/a");
        double fastest = 0;
        for (Program peer : kPeers) {
            const double t = s.Time(FirstFrameName(p, peer));
            if (t > 0)
                fastest = fastest > 0 ? std::min(fastest, t) : t;
            std::printf(
                " %15s",
                t > 0 ? (Ms(t) + " (" + Ms(s.WorstTime(FirstFrameName(p, peer))) + ")").c_str()
                      : "n/a");
        }
        const double target =
            p.kind.compression == BI_RLE8 ? kFasterThanPeersRle : kFasterThanPeers;
        if (ours <= 0 || fastest <= 0) {
            std::printf(" %8s\n", "n/a");
            continue;
        }
        const double ratio = fastest / ours;
        if (Small(p) || WindowSized(p))
            std::printf(" %7.1fx %7s\n", ratio, "-");
        else
            std::printf(" %7.1fx %6.0fx %s\n", ratio, target, verdict(ratio >= target));
    }
    std::printf("(peer/pix: the fastest peer's median over pixmora's, target at least that; "
                "n/a: cannot read it or draws it wrongly, as below; 640x480 and 1920x1080: no "
                "target)\n");
    for (const Picture& p : kPictures)
        for (Program peer : kPeers) {
            const auto failed = g_failed.find(FirstFrameName(p, peer));
            if (failed != g_failed.end())
                std::printf("  %s %s: %s\n", kProgramNames[peer], Label(p).c_str(),
                            failed->second.c_str());
        }

    std::printf("\nFirst frame independent of the file's size: pixmora, large picture against "
                "640x480 of the same format,\nand (no target) against a picture as large as the "
                "window, whose frame draws as many pixels from a small file\n");
    std::printf("%-18s %9s %9s %7s %7s %9s %7s\n", "picture", "large", "640x480", "ratio", "target",
                "1920x1080", "ratio");
    for (const Picture& p : kPictures) {
        if (Small(p) || WindowSized(p))
            continue;
        const double large = s.Time(FirstFrameName(p, kPixmora));
        const double small = s.Time(FirstFrameName(SameFormat(p, Small), kPixmora));
        const double window = s.Time(FirstFrameName(SameFormat(p, WindowSized), kPixmora));
        if (large <= 0 || small <= 0 || window <= 0) {
            std::printf("%-18s %9s\n", Label(p).c_str(), "n/a");
            continue;
        }
        std::printf("%-18s %9s %9s %6.2fx %6.1fx %-6s %9s %6.2fx\n", Label(p).c_str(),
                    Ms(large).c_str(), Ms(small).c_str(), large / small, kSizeRatio,
                    verdict(large / small <= kSizeRatio), Ms(window).c_str(), large / window);
    }

    std::printf("\nSpread: pixmora's slowest run against its median\n");
    std::printf("%-26s %9s %9s %7s %7s\n", "run", "median", "slowest", "ratio", "target");
    std::vector<std::pair<std::string, std::string>> runs; // shown as, benchmark
    for (const Picture& p : kPictures)
        runs.emplace_back(Label(p), FirstFrameName(p, kPixmora));
    runs.emplace_back("8-bit 640x480 whole file", WholeName(kPixmora));
    for (const auto& [shown, name] : runs) {
        const double median = s.Time(name);
        const double worst = s.WorstTime(name);
        if (median <= 0) {
            std::printf("%-26s %9s\n", shown.c_str(), "n/a");
            continue;
        }
        std::printf("%-26s %9s %9s %6.2fx %6.1fx %s\n", shown.c_str(), Ms(median).c_str(),
                    Ms(worst).c_str(), worst / median, kSpreadRatio,
                    verdict(worst / median <= kSpreadRatio));
    }

    std::printf("\n640x480 8-bit, process start to the whole picture's PPM file written\n");
    const double ours = s.Time(WholeName(kPixmora));
    const double stb = s.Time(WholeName(kStb));
    std::printf("%-9s %9s %9s %7s %7s\n", "", "pixmora", "stb", "pix/stb", "target");
    if (ours > 0 && stb > 0)
        std::printf("%-9s %9s %9s %6.2fx %6.1fx %s\n", "median", Ms(ours).c_str(), Ms(stb).c_str(),
                    ours / stb, kWholeRatio, verdict(ours / stb <= kWholeRatio));
    else
        std::printf("%-9s %9s\n", "median", "n/a");
    std::printf("%-9s %9s %9s\n", "slowest", Ms(s.WorstTime(WholeName(kPixmora))).c_str(),
                Ms(s.WorstTime(WholeName(kStb))).c_str());

    std::printf("\nProcess targets: %d met, %d missed\n", verdict.met, verdict.missed);
}

} // namespace

int main(int argc, char** argv)
{
    if (!FindPrograms())
        return 1;
    for (const Picture& p : kPictures) {
        Register(FirstFrameName(p, kPixmora), p, kPixmora, false);
        for (Program peer : kPeers)
            Register(FirstFrameName(p, peer), p, peer, false);
    }
    const Picture& small8 =
        *std::find_if(std::begin(kPictures), std::end(kPictures), [](const Picture& p) {
            return Small(p) && p.kind.bitCount == 8 && p.kind.compression == BI_RGB;
        });
    Register(WholeName(kPixmora), small8, kPixmora, true);
    Register(WholeName(kStb), small8, kStb, true);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    BenchSummary summary;
    benchmark::RunSpecifiedBenchmarks(&summary);
    PrintSummary(summary);
    benchmark::Shutdown();
    return 0;
}
