// varnex-bench: how fast and how lean varnex-cli is on long animations, measured against cp.
//
// Reproduce the table, from the top of the repository:
// clang-format off
//   cmake -S . -B build-bench -DVARNEX_BENCH=ON -DVARNEX_GUI=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release && make -C build-bench -j2 varnex-bench varnex-cli && build-bench/bench/varnex-bench
// clang-format on
//
// In a temporary folder it writes a 60-node model, a 60-node reference animation and walks of
// 1,000 to 100,000 frames (our own skeletons, see tools/sample_skeletons.h), then runs each command
// as a child process and takes the best wall time of several runs; the peak memory is the largest
// ru_maxrss of the child over those runs. All files stay in the page cache, for cp and for
// varnex-cli alike. It prints Markdown tables and the machine's facts on standard output and its
// progress on standard error.
//
// Options: --cli PATH (varnex-cli to time; by default the one built beside this program),
// --frames N,N,... (the animation lengths), --runs N (runs of each command, 3 by default; the
// pairing gets 2 more), --work DIR (a folder to use instead of a temporary one), --keep (leave the
// files there).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sample_skeletons.h"

namespace {
namespace fs = std::filesystem;

constexpr int MODEL_NODES = 60;
constexpr int HEADER_LINES = MODEL_NODES + 4;  // version, nodes, the node lines, end, skeleton
constexpr int CONVERT_FRAMES = 20000;
constexpr double GOAL_CP_RATIO = 5.0;
constexpr double GOAL_RSS_MIB = 32.0;
constexpr double GOAL_MOTION_RATIO = 3.0;  // check and preview against BUILD SMD

struct CHILD_RUN {
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system of the child
    double maxRssMiB = 0;
};

// The best of `runs` runs: the shortest wall and process times, the largest peak memory.
struct TIMING {
    double wallSeconds = 1e300;
    double cpuSeconds = 1e300;
    double maxRssMiB = 0;
};

[[noreturn]] void Fail(const std::string& text) { throw std::runtime_error(text); }

std::string Join(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& a : args) text += (text.empty() ? "" : " ") + a;
    return text;
}

// Runs args in folder with standard output discarded and standard error kept in a file, waits for
// it with wait4 to get its resource use, and fails with that error text when it does not exit 0.
CHILD_RUN RunChild(const std::vector<std::string>& args, const fs::path& folder) {
    fs::path errPath = folder / "child-stderr.txt";
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) Fail(std::string("fork: ") + std::strerror(errno));
    if (pid == 0) {
        int out = open("/dev/null", O_WRONLY);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(folder.c_str()) != 0) _exit(126);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0) {
        if (errno != EINTR) Fail(std::string("wait4: ") + std::strerror(errno));
    }
    auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::ifstream err(errPath);
        std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
        std::string how = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                            : "signal " + std::to_string(WTERMSIG(status));
        Fail(Join(args) + " failed (" + how + "): " + text);
    }
    CHILD_RUN run;
    run.wallSeconds = std::chrono::duration<double>(end - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.maxRssMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // Linux gives KiB
    return run;
}

// Each run starts without the output file, so that every run creates it as the first one did.
TIMING Best(int runs, const std::vector<std::string>& args, const fs::path& folder,
            const fs::path& output) {
    TIMING best;
    for (int i = 0; i < runs; ++i) {
        if (!output.empty()) fs::remove(output);
        // The previous run's output goes to disk now, not while this run is timed.
        sync();
        CHILD_RUN run = RunChild(args, folder);
        best.wallSeconds = std::min(best.wallSeconds, run.wallSeconds);
        best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
        best.maxRssMiB = std::max(best.maxRssMiB, run.maxRssMiB);
    }
    return best;
}

// A written animation must hold every frame with one line per node (60 in the model and in the
// reference alike) and end with "end".
void CheckAnimationLines(const fs::path& path, int frames) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) Fail(path.string() + ": not written");
    std::vector<char> buffer(1 << 20);
    long long lines = 0;
    std::size_t got = 0;
    char last[5] = {};
    std::size_t lastSize = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
        lines += std::count(buffer.begin(), buffer.begin() + static_cast<long>(got), '\n');
        for (std::size_t i = got >= 5 ? got - 5 : 0; i < got; ++i) {
            if (lastSize == 5) std::memmove(last, last + 1, --lastSize);
            last[lastSize++] = buffer[i];
        }
    }
    std::fclose(file);
    long long expected = HEADER_LINES + static_cast<long long>(frames) * (MODEL_NODES + 1) + 1;
    if (lines != expected || lastSize != 5 || std::memcmp(last, "end\r\n", 5) != 0) {
        Fail(path.string() + ": " + std::to_string(lines) + " lines instead of " +
             std::to_string(expected) + ", or no final \"end\"");
    }
}

double MegaBytes(double bytes) { return bytes / 1e6; }

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// "12,345,678" for a table read by people.
std::string Grouped(double value) {
    std::string digits = std::to_string(static_cast<long long>(value + 0.5));
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string FirstLineWith(const char* path, const std::string& key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0) {
            std::size_t colon = line.find(':');
            std::string value = colon == std::string::npos ? line : line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(" \t"));
            return value;
        }
    }
    return "unknown";
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string first;
    return in >> first ? first : std::string("unknown");
}

std::string ExecutableFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

// The varnex-cli to time: given on the command line, the one this program was built with, or one
// beside this program or in the folder above it.
std::string FindCli(const std::string& given) {
    if (!given.empty()) {
        if (access(given.c_str(), X_OK) != 0) Fail(given + ": not an executable");
        return fs::absolute(given).string();
    }
    std::vector<std::string> candidates;
#ifdef VARNEX_CLI_PATH
    candidates.push_back(VARNEX_CLI_PATH);
#endif
    std::string here = ExecutableFolder();
    if (!here.empty()) {
        candidates.push_back(here + "/varnex-cli");
        candidates.push_back(here + "/../varnex-cli");
    }
    for (const std::string& c : candidates) {
        if (access(c.c_str(), X_OK) == 0) return fs::canonical(c).string();
    }
    Fail("varnex-cli not found beside this program: give it with --cli PATH");
}

std::vector<int> ParseFrameList(const std::string& text) {
    std::vector<int> frames;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos ||
            item.size() > 8) {
            Fail("--frames takes whole numbers separated by commas, not \"" + text + "\"");
        }
        frames.push_back(std::stoi(item));
        if (frames.back() < 1) Fail("--frames: a length must be at least 1 frame");
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return frames;
}

// The folder of the run: a fresh temporary one, removed at the end even when a run fails, or the
// one given, which is kept like a temporary one with --keep.
class CWorkFolder {
public:
    CWorkFolder(const std::string& given, bool keep) : m_keep(keep || !given.empty()) {
        if (given.empty()) {
            std::string pattern = (fs::temp_directory_path() / "varnex-bench-XXXXXX").string();
            if (mkdtemp(pattern.data()) == nullptr) {
                Fail(std::string("mkdtemp: ") + std::strerror(errno));
            }
            m_path = pattern;
        } else {
            m_path = fs::absolute(given);
            fs::create_directories(m_path);
        }
    }
    ~CWorkFolder() {
        if (m_keep) {
            std::fprintf(stderr, "varnex-bench: files kept in %s\n", m_path.c_str());
        } else {
            std::error_code ec;
            fs::remove_all(m_path, ec);
        }
    }
    CWorkFolder(const CWorkFolder&) = delete;
    CWorkFolder& operator=(const CWorkFolder&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    bool m_keep;
    fs::path m_path;
};

struct SIZE_ROW {
    int frames = 0;
    double animBytes = 0;
    TIMING build;
    TIMING copy;
};

int Run(int argc, char** argv) {
    std::string cliOption;
    std::string workOption;
    bool keep = false;
    int runs = 3;
    std::vector<int> sizes = {1000, 10000, 20000, 100000};
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Fail(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--cli") {
            cliOption = value();
        } else if (arg == "--frames") {
            sizes = ParseFrameList(value());
        } else if (arg == "--runs") {
            std::string n = value();
            if (n.empty() || n.size() > 3 ||
                n.find_first_not_of("0123456789") != std::string::npos || std::stoi(n) < 1 ||
                std::stoi(n) > 100) {
                Fail("--runs takes a whole number from 1 to 100, not \"" + n + "\"");
            }
            runs = std::stoi(n);
        } else if (arg == "--work") {
            workOption = value();
        } else if (arg == "--keep") {
            keep = true;
        } else {
            Fail("unknown argument \"" + arg +
                 "\" (--cli PATH, --frames N,N,..., --runs N, --work DIR, --keep)");
        }
    }
    std::string cli = FindCli(cliOption);
    std::string loadBefore = LoadAverage();

    CWorkFolder folder(workOption, keep);
    const fs::path& work = folder.Path();
    std::fprintf(stderr, "varnex-bench: %s, files in %s\n", cli.c_str(), work.c_str());

    const std::vector<std::string> buildArgs = {
        cli,  "build",   "--model",       "bench_model.smd", "--ref-anim", "bench_ref.smd",
        "-o", "out.smd", "bench_anim.smd"};
    const std::vector<std::string> copyArgs = {"cp", "bench_anim.smd", "copy.smd"};
    const std::vector<std::string> convertArgs = {
        cli,          "convert",       "--model",       "bench_model.smd",
        "--ref-anim", "bench_ref.smd", "bench_anim.smd"};
    const std::vector<std::string> checkArgs = {
        cli, "check", "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd", "bench_anim.smd"};
    const std::vector<std::string> previewArgs = {
        cli,  "preview",     "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd",
        "--step", "40", "-o", "preview.svg", "bench_anim.smd"};
    const std::vector<std::string> gridArgs = {
        cli, "grid", "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd"};

    std::vector<SIZE_ROW> rows;
    TIMING grid;
    bool converted = false;
    SIZE_ROW convertRow;
    TIMING convert;
    TIMING check;
    TIMING preview;
    int convertFrames = std::find(sizes.begin(), sizes.end(), CONVERT_FRAMES) != sizes.end()
                            ? CONVERT_FRAMES
                            : sizes.back();
    for (std::size_t k = 0; k < sizes.size(); ++k) {
        SIZE_ROW row;
        row.frames = sizes[k];
        std::fprintf(stderr, "  %d frames: writing the files\n", row.frames);
        row.animBytes = static_cast<double>(WriteBenchFiles(work.string(), row.frames));
        sync();
        if (k == 0) {
            std::fprintf(stderr, "  pairing: grid, best of %d\n", runs + 2);
            grid = Best(runs + 2, gridArgs, work, fs::path());
        }
        std::fprintf(stderr, "  %d frames: build, best of %d\n", row.frames, runs);
        row.build = Best(runs, buildArgs, work, work / "out.smd");
        CheckAnimationLines(work / "out.smd", row.frames);
        std::fprintf(stderr, "  %d frames: cp, best of %d\n", row.frames, runs);
        row.copy = Best(runs, copyArgs, work, work / "copy.smd");
        if (row.frames == convertFrames && !converted) {
            std::fprintf(stderr, "  %d frames: convert, best of %d\n", row.frames, runs);
            convert = Best(runs, convertArgs, work, work / "bench_animNew.smd");
            CheckAnimationLines(work / "bench_animNew.smd", row.frames);
            std::fprintf(stderr, "  %d frames: check and preview --step 40, best of %d\n",
                         row.frames, runs);
            check = Best(runs, checkArgs, work, fs::path());
            preview = Best(runs, previewArgs, work, work / "preview.svg");
            fs::remove(work / "preview.svg");
            convertRow = row;
            converted = true;
        }
        fs::remove(work / "out.smd");
        fs::remove(work / "copy.smd");
        fs::remove(work / "bench_animNew.smd");
        rows.push_back(row);
    }

    struct utsname host {};
    uname(&host);
    std::printf("### varnex-cli benchmark\n\n");
    double memoryGiB = std::atof(FirstLineWith("/proc/meminfo", "MemTotal").c_str()) / 1048576.0;
    std::printf(
        "Machine: %u logical CPUs (nproc), %s, %.1f GiB memory; Linux %s; %s build of "
        "varnex-cli, compiler %s.\n\n",
        std::thread::hardware_concurrency(), FirstLineWith("/proc/cpuinfo", "model name").c_str(),
        memoryGiB, host.release,
#ifdef VARNEX_BUILD_TYPE
        VARNEX_BUILD_TYPE,
#else
        "unknown",
#endif
        __VERSION__);
    // Other work on the machine shows in the times; the load average says how much there was.
    std::printf("Load average (1 min) before the runs: %s, after: %s.\n\n", loadBefore.c_str(),
                LoadAverage().c_str());
    std::printf(
        "BUILD SMD: `varnex-cli build` of a walk on a 60-node source skeleton onto a "
        "60-node model (60 node lines written per frame); best wall time of %d runs and best "
        "process time (user + system), files in the page cache; MB = 10^6 bytes of the "
        "animation read.\n\n",
        runs);
    std::printf(
        "| frames | animation MB | build s | build CPU s | MB/s | node lines/s | "
        "peak RSS MiB | cp s | build / cp |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const SIZE_ROW& r : rows) {
        double lines = static_cast<double>(r.frames) * MODEL_NODES;
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", Grouped(r.frames).c_str(),
                    Fixed(MegaBytes(r.animBytes), 1).c_str(), Fixed(r.build.wallSeconds, 3).c_str(),
                    Fixed(r.build.cpuSeconds, 3).c_str(),
                    Fixed(MegaBytes(r.animBytes) / r.build.wallSeconds, 1).c_str(),
                    Grouped(lines / r.build.wallSeconds).c_str(),
                    Fixed(r.build.maxRssMiB, 1).c_str(), Fixed(r.copy.wallSeconds, 3).c_str(),
                    Fixed(r.build.wallSeconds / r.copy.wallSeconds, 1).c_str());
    }
    if (converted) {
        std::printf(
            "\nConvert CS Bipede: `varnex-cli convert` (thighs re-hung from the spine), "
            "best of %d.\n\n",
            runs);
        std::printf("| frames | animation MB | convert s | MB/s | peak RSS MiB |\n");
        std::printf("|---:|---:|---:|---:|---:|\n");
        std::printf("| %s | %s | %s | %s | %s |\n", Grouped(convertRow.frames).c_str(),
                    Fixed(MegaBytes(convertRow.animBytes), 1).c_str(),
                    Fixed(convert.wallSeconds, 3).c_str(),
                    Fixed(MegaBytes(convertRow.animBytes) / convert.wallSeconds, 1).c_str(),
                    Fixed(convert.maxRssMiB, 1).c_str());
    }
    if (converted) {
        double checkRatio = check.wallSeconds / convertRow.build.wallSeconds;
        double previewRatio = preview.wallSeconds / convertRow.build.wallSeconds;
        std::printf(
            "\nMotion check and preview of the same animation, best of %d: `varnex-cli check` "
            "(every frame retargeted in memory and compared) and `varnex-cli preview --step 40` "
            "(the SVG of every 40th frame).\n\n",
            runs);
        std::printf("| frames | build s | check s | check / build | preview s | preview / build |\n");
        std::printf("|---:|---:|---:|---:|---:|---:|\n");
        std::printf("| %s | %s | %s | %s | %s | %s |\n", Grouped(convertRow.frames).c_str(),
                    Fixed(convertRow.build.wallSeconds, 3).c_str(), Fixed(check.wallSeconds, 3).c_str(),
                    Fixed(checkRatio, 2).c_str(), Fixed(preview.wallSeconds, 3).c_str(),
                    Fixed(previewRatio, 2).c_str());
        std::printf("\nGoal: check and preview at most %.0fx BUILD SMD: %s.\n", GOAL_MOTION_RATIO,
                    checkRatio <= GOAL_MOTION_RATIO && previewRatio <= GOAL_MOTION_RATIO ? "met"
                                                                                          : "missed");
    }
    std::printf(
        "\nPairing of two 60-node skeletons (`varnex-cli grid`, the whole process): "
        "%s ms process time (user + system), %s ms wall, best of %d; peak RSS %s MiB.\n",
        Fixed(grid.cpuSeconds * 1e3, 1).c_str(), Fixed(grid.wallSeconds * 1e3, 1).c_str(), runs + 2,
        Fixed(grid.maxRssMiB, 1).c_str());

    // The team's goals, said plainly under the table.
    double peak = grid.maxRssMiB;
    const SIZE_ROW* at20k = nullptr;
    for (const SIZE_ROW& r : rows) {
        peak = std::max(peak, r.build.maxRssMiB);
        if (r.frames == CONVERT_FRAMES) at20k = &r;
    }
    if (converted) peak = std::max(peak, convert.maxRssMiB);
    std::printf("\nGoals: ");
    if (at20k != nullptr) {
        double ratio = at20k->build.wallSeconds / at20k->copy.wallSeconds;
        std::printf("build at most %.0fx cp at 20,000 frames: %s (%.1fx); ", GOAL_CP_RATIO,
                    ratio <= GOAL_CP_RATIO ? "met" : "missed", ratio);
    }
    std::printf("peak memory under %.0f MiB at every length: %s (largest %.1f MiB).\n",
                GOAL_RSS_MIB, peak < GOAL_RSS_MIB ? "met" : "missed", peak);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnex-bench: %s\n", e.what());
        return 1;
    }
}
