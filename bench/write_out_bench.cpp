// The write-out benchmark: runs the window's write-out command on a generated corpus for a
// range of page counts, next to the floor (plain buffered writes of the same files), and
// prints one line per case. See bench/README.md.
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "corpus.h"
#include "floor_writer.h"
#include "output_check.h"
#include "program_folder_setup.h"
#include "write_out_run.h"
#ifdef VB_BENCH_WITH_QT
#include "window_write_out.h"
#endif

namespace vb::bench {

namespace {

// Huge: one source of 31 MiB, too big for what the run keeps of its sources (64 MiB), so
// that each pick of it is prepared anew and the read-ahead's bound in bytes is what holds
// the memory (the peakMiB column).
enum class SourceSize { Mixed, Small, Large, Huge };

struct Case {
    std::int32_t Pages = 0;
    std::int32_t SourcesPerPage = 0;
    SourceSize Sources = SourceSize::Mixed;
};

struct Options {
    std::vector<Case> Cases;
    bool Check = false;
    bool Window = false;
    bool WineWindow = false;  // with a Windows companion: also its run in the shown window
    bool Keep = false;
    bool Sync = true;
    int Repeat = 1;
    int SettleSeconds = -1;  // -1: the default, 0 for the quick cases and 65 otherwise
    std::uint32_t Seed = 20240601;
    std::string Work;
    std::string WindowsCompanion;  // vb_bench_write_out_win.exe, run under Wine
};

const char* SourceSizeName(SourceSize size) {
    switch (size) {
        case SourceSize::Small:
            return "0.2K";
        case SourceSize::Large:
            return "40K";
        case SourceSize::Huge:
            return "31M";
        default:
            return "0.2-4K";
    }
}

CorpusShape SpecFor(SourceSize size) {
    CorpusShape shape;
    if (size == SourceSize::Small) shape.MinBytes = shape.MaxBytes = 200;
    if (size == SourceSize::Large) shape.MinBytes = shape.MaxBytes = 40 * 1024;
    if (size == SourceSize::Huge) {
        shape.Files = 1;
        shape.MinBytes = shape.MaxBytes = std::size_t{31} << 20;
    }
    return shape;
}

// ext4 without a journal will not give out an inode deleted less than a minute ago (its
// inode table written back) and searches past every such inode for each new file. A run
// that deletes the output folder and writes it anew pays that for its own deletion; the
// wait keeps it from paying for the deletions of the run before it as well.
constexpr int kSettleSeconds = 65;

std::vector<Case> QuickCases() { return {{1000, 5}, {1000, 10}}; }

std::vector<Case> FullCases() {
    return {{1000, 5},
            {1000, 10},
            {20000, 5},
            {20000, 10},
            {100000, 5},
            {100000, 10},
            {100000, 1, SourceSize::Small},
            {100000, 1, SourceSize::Large},
            {100, 1, SourceSize::Huge}};
}

// "PAGESxSOURCES" with an optional ":small", ":large" or ":huge" for the corpus of 0.2 KB or
// 40 KB sources or the one source of 31 MiB.
std::optional<Case> ParseCase(const std::string& text) {
    Case c;
    char kind[16] = "";
    const int n = std::sscanf(text.c_str(), "%dx%d:%15s", &c.Pages, &c.SourcesPerPage, kind);
    if (n < 2 || c.Pages < 0 || c.SourcesPerPage < 0) return std::nullopt;
    if (n == 3) {
        if (std::strcmp(kind, "small") == 0)
            c.Sources = SourceSize::Small;
        else if (std::strcmp(kind, "large") == 0)
            c.Sources = SourceSize::Large;
        else if (std::strcmp(kind, "huge") == 0)
            c.Sources = SourceSize::Huge;
        else if (std::strcmp(kind, "mixed") != 0)
            return std::nullopt;
    }
    return c;
}

void PrintUsage() {
    std::puts(
        "usage: vb_bench_write_out [--quick] [--case PAGESxSOURCES[:mixed|small|large|huge]]...\n"
        "                          [--window] [--check] [--seed N]\n"
        "                          [--work DIR] [--keep] [--no-sync] [--settle S]\n"
        "                          [--repeat N] [--windows EXE [--wine-window]]\n"
        "  --quick      only the 1,000-page cases (5 and 10 sources per page)\n"
        "  --case       run this case instead of the default list (repeatable)\n"
        "  --window     also run the 20,000 x 10 write-out through the Qt window (offscreen)\n"
        "  --check      check every case's pages and index; exit 1 on a fault\n"
        "  --seed N     seed of the corpus, the source picks and the page names\n"
        "  --work DIR   make the temporary program folder inside DIR\n"
        "  --keep       leave the program folder and the last output in place\n"
        "  --no-sync    do not flush the disk before each timed run (for checks, not numbers)\n"
        "  --settle S   wait S seconds after the flush before each timed run (default 65,\n"
        "               0 with --quick): see bench/README.md on recently deleted inodes\n"
        "  --repeat N   time each case (floors and run) N times and print the median ratios\n"
        "               and the ratios of each step's fastest round\n"
        "  --windows EXE  also run each case through the Windows build under Wine, EXE being\n"
        "               its vb_bench_write_out_win.exe (see bench/README.md)\n"
        "  --wine-window  with --windows, also each round's write-out through the Windows\n"
        "               window, shown (needs an X display: xvfb-run)");
}

std::optional<Options> ParseOptions(int argc, char** argv) {
    Options options;
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--quick") {
            quick = true;
        } else if (arg == "--check") {
            options.Check = true;
        } else if (arg == "--wine-window") {
            options.WineWindow = true;
        } else if (arg == "--window") {
            options.Window = true;
        } else if (arg == "--keep") {
            options.Keep = true;
        } else if (arg == "--no-sync") {
            options.Sync = false;
        } else if (arg == "--repeat" && hasValue) {
            options.Repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--settle" && hasValue) {
            options.SettleSeconds = std::atoi(argv[++i]);
        } else if (arg == "--seed" && hasValue) {
            options.Seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--windows" && hasValue) {
            options.WindowsCompanion = argv[++i];
        } else if (arg == "--work" && hasValue) {
            options.Work = argv[++i];
        } else if (arg == "--case" && hasValue) {
            const auto c = ParseCase(argv[++i]);
            if (!c) return std::nullopt;
            options.Cases.push_back(*c);
        } else {
            return std::nullopt;
        }
    }
    if (options.Cases.empty()) options.Cases = quick ? QuickCases() : FullCases();
    if (options.SettleSeconds < 0) options.SettleSeconds = quick ? 0 : kSettleSeconds;
    return options;
}

std::string MakeWorkFolder(const std::string& parent) {
    std::string base = parent;
    if (base.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        base = tmp && *tmp ? tmp : "/tmp";
    }
    std::string pattern = base + "/vb_bench_XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a folder in " + base);
    return pattern;
}

std::string FileSystemName(const std::string& path) {
    struct statfs info {};
    if (::statfs(path.c_str(), &info) != 0) return "?";
    switch (static_cast<unsigned long>(info.f_type)) {
        case 0xEF53:
            return "ext2/3/4";
        case 0x01021994:
            return "tmpfs";
        case 0x58465342:
            return "xfs";
        case 0x9123683E:
            return "btrfs";
        default: {
            char hex[32];
            std::snprintf(hex, sizeof hex, "file system 0x%lx",
                          static_cast<unsigned long>(info.f_type));
            return hex;
        }
    }
}

double MiB(long kib) { return static_cast<double>(kib) / 1024.0; }

void PrintHeader() {
    std::printf(
        "%-8s %6s %6s %6s %12s %7s %7s %7s %7s %7s %7s %6s %7s %7s %7s %7s %6s %6s %7s %7s %6s "
        "%6s\n",
        "run", "pages", "src/pg", "srcs", "bytes", "wall_s", "cpu_s", "wait_s", "pages/s",
        "idleMiB", "peakMiB", "+MiB", "warns", "floor_s", "flr_cpu", "flr_wt", "ratio", "cpu_r",
        "rfl_s", "rfl_cpu", "rratio", "rcpu_r");
}

// The ratios are ours / floor on the headless line and window / headless on the window line;
// the reading floor's ours / reading floor.
struct Ratios {
    double Wall = 0;
    double Cpu = 0;
    double ReadingWall = 0;
    double ReadingCpu = 0;
};

double Ratio(double ours, double base) { return base > 0 ? ours / base : 0.0; }

// One round's times: ours, the floor's (or the headless run's on the window line) and the
// reading floor's, each wall and processor.
struct RoundTimes {
    double Wall = 0, Cpu = 0;
    double FloorWall = 0, FloorCpu = 0;
    double ReadingWall = 0, ReadingCpu = 0;

    Ratios RatiosOf() const {
        return {Ratio(Wall, FloorWall), Ratio(Cpu, FloorCpu), Ratio(Wall, ReadingWall),
                Ratio(Cpu, ReadingCpu)};
    }
};

RoundTimes TimesOf(const WriteOutOutcome& ours, const FloorOutcome& floor,
                   const FloorOutcome& reading) {
    return {ours.Seconds,     ours.CpuSeconds, floor.Seconds,
            floor.CpuSeconds, reading.Seconds, reading.CpuSeconds};
}

void PrintLine(const char* run, const Case& c, std::uint64_t bytes, const WriteOutOutcome& ours,
               const FloorOutcome& floor, const FloorOutcome& reading) {
    const Ratios ratios = TimesOf(ours, floor, reading).RatiosOf();
    std::printf(
        "%-8s %6d %6d %6s %12llu %7.3f %7.3f %7.3f %7.0f %7.1f %7.1f %6.1f %7lld %7.3f %7.3f "
        "%7.3f %6.2f %6.2f %7.3f %7.3f %6.2f %6.2f\n",
        run, c.Pages, c.SourcesPerPage, SourceSizeName(c.Sources),
        static_cast<unsigned long long>(bytes), ours.Seconds, ours.CpuSeconds, ours.WaitSeconds,
        ours.Seconds > 0 ? c.Pages / ours.Seconds : 0.0, MiB(ours.IdleKiB), MiB(ours.PeakKiB),
        MiB(ours.PeakKiB - ours.IdleKiB), ours.Warnings, floor.Seconds, floor.CpuSeconds,
        floor.WaitSeconds, ratios.Wall, ratios.Cpu, reading.Seconds, reading.CpuSeconds,
        ratios.ReadingWall, ratios.ReadingCpu);
    std::fflush(stdout);
}

class Benchmark {
  public:
    explicit Benchmark(const Options& options)
        : options_(options), root_(MakeWorkFolder(options.Work)), folder_(root_ + "/program") {}

    ~Benchmark() {
        if (!options_.Keep) {
            std::error_code ec;
            std::filesystem::remove_all(root_, ec);
        } else {
            std::printf("kept: %s\n", root_.c_str());
        }
    }

    // Runs every case; false when any run failed or a check found a fault.
    bool Run() {
        std::printf("# program folder %s on %s; seed %u; settle %d s; %ld processors\n",
                    folder_.Root().c_str(), FileSystemName(root_).c_str(), options_.Seed,
                    options_.SettleSeconds, ::sysconf(_SC_NPROCESSORS_ONLN));
        PrintHeader();
        bool ok = true;
        for (const Case& c : options_.Cases) ok = RunCase(c) && ok;
        if (options_.Window) ok = RunWindowCase() && ok;
        return ok;
    }

  private:
    const Corpus& CorpusFor(SourceSize size) {
        auto found = corpora_.find(size);
        if (found == corpora_.end()) {
            const std::string folder = root_ + "/src_" + SourceSizeName(size);
            found = corpora_.emplace(size, WriteCorpus(folder, SpecFor(size), options_.Seed)).first;
        }
        return found->second;
    }

    // Every timed run starts with no dirty pages of the one before.
    void FlushDisk() const {
        if (options_.Sync) ::sync();
    }

    // Before a timed run: flushed, and the deletions of earlier runs out of its way.
    void Settle() const {
        FlushDisk();
        if (options_.SettleSeconds > 0) ::sleep(static_cast<unsigned>(options_.SettleSeconds));
    }

    WriteOutOutcome Headless(const Corpus& corpus) {
        return InChild<WriteOutOutcome>([&] { return RunHeadless(corpus, options_.Seed); });
    }

    bool Failed(const char* what, const char* problem) {
        if (problem[0] == '\0') return false;
        std::printf("%s failed: %s\n", what, problem);
        return true;
    }

    // Warm-up, floor, timed run. After the warm-up the output folder holds the same files
    // the floor writes, so the floor and the timed run both delete a folder of equal size.
    bool RunCase(const Case& c) {
        const Corpus& corpus = CorpusFor(c.Sources);
        folder_.WriteSettings({corpus.Folder, c.Pages, c.SourcesPerPage});
        FlushDisk();
        WriteOutOutcome ours = Headless(corpus);
        if (Failed("write-out", ours.Problem)) return false;

        const std::vector<std::uint64_t> sizes = FileSizes(folder_.OutputFolder());
        const std::uint64_t bytes = std::accumulate(sizes.begin(), sizes.end(), std::uint64_t{0});
        const SourceReads reads =
            SourceReadsOf(corpus.Folder, c.Pages, c.SourcesPerPage, options_.Seed);
        std::vector<RoundTimes> rounds;
        for (int round = 0; round < options_.Repeat; ++round) {
            Settle();
            const FloorOutcome floor =
                InChild<FloorOutcome>([&] { return RunFloor(folder_.OutputFolder(), sizes); });
            if (Failed("floor", floor.Problem)) return false;

            Settle();
            const FloorOutcome reading = InChild<FloorOutcome>(
                [&] { return RunReadingFloor(folder_.OutputFolder(), sizes, reads); });
            if (Failed("reading floor", reading.Problem)) return false;

            Settle();
            ours = Headless(corpus);
            if (Failed("write-out", ours.Problem)) return false;
            rounds.push_back(TimesOf(ours, floor, reading));
            PrintLine("headless", c, bytes, ours, floor, reading);
        }
        PrintRounds(rounds);
        if (!options_.WindowsCompanion.empty() && !RunUnderWine(c, corpus, sizes, reads, bytes))
            return false;
        lastWasWindowCase_ = c.Pages == kWindowCase.Pages &&
                             c.SourcesPerPage == kWindowCase.SourcesPerPage &&
                             c.Sources == kWindowCase.Sources;
        if (lastWasWindowCase_) windowBaseline_ = ours;
        return CheckOutput(c);
    }

    // With repeats, the median of each ratio over the rounds, and the ratios of each step's
    // fastest round: other work on the machine only ever adds time, so the fastest of
    // several rounds is the nearest to what the step itself costs.
    static void PrintRounds(const std::vector<RoundTimes>& rounds) {
        if (rounds.size() < 2) return;
        const auto median = [&rounds](double Ratios::*field) {
            std::vector<double> values;
            for (const auto& r : rounds) values.push_back(r.RatiosOf().*field);
            std::sort(values.begin(), values.end());
            const std::size_t mid = values.size() / 2;
            return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
        };
        std::printf("%-8s median of %zu rounds: ratio %.2f, cpu_r %.2f, rratio %.2f, rcpu_r %.2f\n",
                    "", rounds.size(), median(&Ratios::Wall), median(&Ratios::Cpu),
                    median(&Ratios::ReadingWall), median(&Ratios::ReadingCpu));
        RoundTimes fastest = rounds.front();
        for (const auto& r : rounds) {
            for (auto field :
                 {&RoundTimes::Wall, &RoundTimes::Cpu, &RoundTimes::FloorWall,
                  &RoundTimes::FloorCpu, &RoundTimes::ReadingWall, &RoundTimes::ReadingCpu})
                fastest.*field = std::min(fastest.*field, r.*field);
        }
        const Ratios best = fastest.RatiosOf();
        std::printf(
            "%-8s fastest of %zu rounds: ratio %.2f, cpu_r %.2f, rratio %.2f, rcpu_r %.2f "
            "(wall_s %.3f, floor_s %.3f, rfl_s %.3f)\n",
            "", rounds.size(), best.Wall, best.Cpu, best.ReadingWall, best.ReadingCpu, fastest.Wall,
            fastest.FloorWall, fastest.ReadingWall);
        std::fflush(stdout);
    }

    bool CheckOutput(const Case& c) {
        if (!options_.Check) return true;
        const std::string fault =
            CheckPages(folder_.OutputFolder(), c.Pages, folder_.PageHead(), folder_.PageTail());
        if (fault.empty()) return true;
        std::printf("check failed for %d x %d: %s\n", c.Pages, c.SourcesPerPage, fault.c_str());
        return false;
    }

    // The same job through the window shown by the Qt view, against the headless run of it
    // (run first if the case list did not include it). The window's run deletes the
    // headless run's output, so both delete and write the same.
    bool RunWindowCase() {
#ifdef VB_BENCH_WITH_QT
        // The headless run of the same job must be the one just before each window run:
        // the window's run then deletes and writes the same files.
        if (!lastWasWindowCase_ && !RunCase(kWindowCase)) return false;
        const Corpus& corpus = CorpusFor(kWindowCase.Sources);
        folder_.WriteSettings({corpus.Folder, kWindowCase.Pages, kWindowCase.SourcesPerPage});
        std::vector<RoundTimes> rounds;
        for (int round = 0; round < options_.Repeat; ++round) {
            WriteOutOutcome headless = *windowBaseline_;
            if (round > 0) {
                Settle();
                headless = Headless(corpus);
                if (Failed("write-out", headless.Problem)) return false;
            }
            // With the same seeds the window must write the very files the headless run wrote.
            const std::uint64_t headlessFiles =
                options_.Check ? FolderDigest(folder_.OutputFolder()) : 0;
            Settle();
            const WriteOutOutcome shown =
                InChild<WriteOutOutcome>([&] { return RunInWindow(corpus, options_.Seed); });
            if (Failed("window write-out", shown.Problem)) return false;
            const std::vector<std::uint64_t> sizes = FileSizes(folder_.OutputFolder());
            FloorOutcome asFloor;
            asFloor.Seconds = headless.Seconds;
            asFloor.CpuSeconds = headless.CpuSeconds;
            rounds.push_back(TimesOf(shown, asFloor, FloorOutcome{}));
            if (round > 0)
                PrintLine("headless", kWindowCase,
                          std::accumulate(sizes.begin(), sizes.end(), 0ull), headless,
                          FloorOutcome{}, FloorOutcome{});
            PrintLine("window", kWindowCase, std::accumulate(sizes.begin(), sizes.end(), 0ull),
                      shown, asFloor, FloorOutcome{});
            if (options_.Check && FolderDigest(folder_.OutputFolder()) != headlessFiles) {
                std::puts("check failed: the window wrote other files than the headless run");
                return false;
            }
        }
        PrintRounds(rounds);
        return CheckOutput(kWindowCase);
#else
        std::puts("window: not built (configure with -DVB_WITH_QT=ON)");
        return true;
#endif
    }

    // The same case through the Windows build under Wine: warm-up, floor, reading floor and
    // run, each a start of the companion with the same settle before it. The warm-up leaves
    // the files the Linux run left (the same seeds make the same files on both editions).
    bool RunUnderWine(const Case& c, const Corpus& corpus, const std::vector<std::uint64_t>& sizes,
                      const SourceReads& reads, std::uint64_t bytes) {
        const std::string plan = root_ + "/wine_plan.txt";
        WriteWinePlan(plan, sizes, reads);
        const std::string program = WinePath(folder_.Root());
        // The write-out's arguments, headless ("run") or in the shown window ("window").
        const std::string job = Quoted(program) + " " + Quoted(WinePath(corpus.Folder)) + " " +
                                std::to_string(options_.Seed);
        const std::string run = "run " + job;
        const std::string output = Quoted(WinePath(folder_.OutputFolder()));
        WriteOutOutcome ours;
        if (!WineStep(run, ours)) return false;
        const auto asFloor = [](const WriteOutOutcome& step) {
            FloorOutcome floor;
            floor.Seconds = step.Seconds;
            floor.CpuSeconds = step.CpuSeconds;
            floor.PeakKiB = step.PeakKiB;
            return floor;
        };
        std::vector<RoundTimes> rounds, windowRounds;
        for (int round = 0; round < options_.Repeat; ++round) {
            Settle();
            WriteOutOutcome floorStep, readingStep;
            if (!WineStep("floor " + output + " " + Quoted(WinePath(plan)), floorStep))
                return false;
            Settle();
            if (!WineStep("reading " + output + " " + Quoted(WinePath(plan)), readingStep))
                return false;
            Settle();
            if (!WineStep(run, ours)) return false;
            const FloorOutcome floor = asFloor(floorStep), reading = asFloor(readingStep);
            rounds.push_back(TimesOf(ours, floor, reading));
            PrintLine("wine", c, bytes, ours, floor, reading);
            if (options_.WineWindow) {
                // The same run in the shown window, against the headless run just before.
                WriteOutOutcome shown;
                Settle();
                if (!WineStep("window " + job, shown)) return false;
                windowRounds.push_back(TimesOf(shown, asFloor(ours), FloorOutcome{}));
                PrintLine("winewin", c, bytes, shown, asFloor(ours), FloorOutcome{});
            }
        }
        PrintRounds(rounds);
        PrintRounds(windowRounds);
        return CheckOutput(c);
    }

    // The Windows name of a path under Wine's drive Z:, the root of the Linux file system.
    static std::string WinePath(const std::string& path) {
        std::string wine = "Z:" + path;
        std::replace(wine.begin(), wine.end(), '/', '\\');
        return wine;
    }

    static std::string Quoted(const std::string& arg) { return "'" + arg + "'"; }

    static void WriteWinePlan(const std::string& path, const std::vector<std::uint64_t>& sizes,
                              const SourceReads& reads) {
        std::FILE* plan = std::fopen(path.c_str(), "w");
        if (!plan) throw std::runtime_error("cannot write " + path);
        std::fprintf(plan, "sizes %zu\n", sizes.size());
        for (auto size : sizes) std::fprintf(plan, "%llu\n", static_cast<unsigned long long>(size));
        std::fprintf(plan, "sources %zu\n", reads.Paths.size());
        for (const auto& source : reads.Paths) std::fprintf(plan, "%s\n", WinePath(source).c_str());
        std::fprintf(plan, "perpage %d\norder %zu\n", reads.PerPage, reads.Order.size());
        for (auto index : reads.Order) std::fprintf(plan, "%u\n", static_cast<unsigned>(index));
        std::fclose(plan);
    }

    // Starts the companion under Wine with these arguments and reads its result line.
    bool WineStep(const std::string& args, WriteOutOutcome& outcome) {
        const std::string command = std::string(VB_WINE_RUN) + " " +
                                    Quoted(options_.WindowsCompanion) + " " + args + " 2>&1";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) throw std::runtime_error("cannot start Wine");
        char line[1024];
        std::string problem = "no result line";
        outcome = WriteOutOutcome{};
        while (std::fgets(line, sizeof line, pipe)) {
            if (std::sscanf(line, "result %lf %lf %ld %ld %lld", &outcome.Seconds,
                            &outcome.CpuSeconds, &outcome.IdleKiB, &outcome.PeakKiB,
                            &outcome.Warnings) == 5)
                problem.clear();
            else if (std::strncmp(line, "problem ", 8) == 0)
                problem = line + 8;
        }
        ::pclose(pipe);
        return !Failed("wine step", problem.c_str());
    }

    static constexpr Case kWindowCase{20000, 10, SourceSize::Mixed};

    Options options_;
    std::string root_;
    BenchProgramFolder folder_;
    std::map<SourceSize, Corpus> corpora_;
    std::optional<WriteOutOutcome> windowBaseline_;
    bool lastWasWindowCase_ = false;
};

}  // namespace

}  // namespace vb::bench

int main(int argc, char** argv) {
    using namespace vb::bench;
    const auto options = ParseOptions(argc, argv);
    if (!options) {
        PrintUsage();
        return 2;
    }
    try {
        Benchmark benchmark(*options);
        return benchmark.Run() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vb_bench_write_out: %s\n", e.what());
        return 1;
    }
}
