// varnex-bench: how fast and how lean varnex-cli is on long animations and on many small ones,
// measured against cp and a plain buffered copy.
//
// Reproduce the table, from the top of the repository:
// clang-format off
//   cmake -S . -B build-bench -DVARNEX_BENCH=ON -DVARNEX_GUI=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release && make -C build-bench -j2 varnex-bench && build-bench/bench/varnex-bench
// clang-format on
//
// In a temporary folder it writes a 60-node model, a 60-node reference animation and walks of
// 1,000 to 100,000 frames (our own skeletons, see tools/sample_skeletons.h), then runs each command
// as a child process. The commands of one length run in turn (build, cp, plain copy, convert,
// build, cp, ...), so that the machine's load falls on all of them alike; the tables give the
// median wall time and the spread (lowest and highest run as a share of the median). The peak
// memory is the largest ru_maxrss of the child over the runs. All files stay in the page cache.
// The batch figures: 200 separate calls on a real-sized animation (about 45 KB), and one call on
// 200 such files. It prints Markdown tables and the machine's facts on standard output and its
// progress on standard error.
//
// Options: --cli PATH (varnex-cli to time; by default the one built beside this program),
// --frames N,N,... (the animation lengths), --runs N (alternated runs of each command, 7 by
// default), --work DIR (a folder to use instead of a temporary one, for another file system),
// --keep (leave the files there).
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statfs.h>
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
constexpr int GOAL_FRAMES = 20000;
constexpr double GOAL_CP_RATIO = 4.0;
constexpr double GOAL_COPY_RATIO = 3.5;
constexpr double GOAL_RSS_MIB = 8.0;
constexpr int BATCH_FILES = 200;
constexpr int BATCH_FRAMES = 12;  // about 45 KB, a real animation's size
constexpr double GOAL_SEPARATE_MS = 1.0;
constexpr double GOAL_BATCH_MS = 0.3;
constexpr double GOAL_MOTION_RATIO = 3.0;  // check and preview against BUILD SMD
constexpr double GOAL_WORLD_RATIO = 2.0;   // BUILD SMD by --method world against the default
constexpr int QC_SEQUENCES = 100;          // a whole set: as many sequences, one file each
constexpr double GOAL_QC_MS = 50.0;
constexpr double GOAL_FEET_RATIO = 3.0;    // --feet contact against the same method

struct CHILD_RUN {
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system of the child
    double maxRssMiB = 0;
};

// The runs of one command: their wall and process times and the largest peak memory.
struct SAMPLES {
    std::vector<double> wall;
    std::vector<double> cpu;
    double maxRssMiB = 0;

    void Add(const CHILD_RUN& run) {
        wall.push_back(run.wallSeconds);
        cpu.push_back(run.cpuSeconds);
        maxRssMiB = std::max(maxRssMiB, run.maxRssMiB);
    }
    static double Median(std::vector<double> values) {
        if (values.empty()) return 0;
        std::sort(values.begin(), values.end());
        std::size_t n = values.size();
        return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    }
    double WallMedian() const { return Median(wall); }
    double CpuMedian() const { return Median(cpu); }
    // "-12 % / +30 %": the fastest and slowest run against the median.
    std::string Spread() const;
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

std::string Fixed(double value, int decimals);

std::string SAMPLES::Spread() const {
    double median = WallMedian();
    if (wall.empty() || median <= 0) return "-";
    double low = *std::min_element(wall.begin(), wall.end());
    double high = *std::max_element(wall.begin(), wall.end());
    char text[64];
    std::snprintf(text, sizeof text, "-%.0f %% / +%.0f %%", (median - low) / median * 100,
                  (high - median) / median * 100);
    return text;
}

// One run; it starts without its output file, so that every run creates it as the first one did.
CHILD_RUN RunOnce(const std::vector<std::string>& args, const fs::path& folder,
                  const fs::path& output) {
    if (!output.empty()) fs::remove_all(output);
    // The previous run's output goes to disk now, not while this run is timed.
    sync();
    return RunChild(args, folder);
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

std::string FileSystemOf(const fs::path& folder) {
    struct statfs info {};
    if (statfs(folder.c_str(), &info) != 0) return "unknown";
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53: return "ext4";
    case 0x01021994: return "tmpfs";
    case 0x58465342: return "xfs";
    case 0x9123683E: return "btrfs";
    case 0x794C7630: return "overlayfs";
    default: return "type 0x" + [&] {
        char text[32];
        std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(info.f_type));
        return std::string(text);
    }();
    }
}

struct SIZE_ROW {
    int frames = 0;
    double animBytes = 0;
    SAMPLES build;
    SAMPLES oneThread;  // the build with --threads 1
    SAMPLES copy;   // cp
    SAMPLES plain;  // the plain buffered copy
    SAMPLES convert;
    SAMPLES check;    // varnex-cli check of the same animation
    SAMPLES preview;  // varnex-cli preview --step 40
    // The build by each method, without and with --feet contact.
    SAMPLES world, feet, worldFeet;
};

std::string FindPlainCopy() {
    std::vector<std::string> candidates;
#ifdef VARNEX_PLAIN_COPY_PATH
    candidates.push_back(VARNEX_PLAIN_COPY_PATH);
#endif
    std::string here = ExecutableFolder();
    if (!here.empty()) candidates.push_back(here + "/varnex-plain-copy");
    for (const std::string& c : candidates) {
        if (access(c.c_str(), X_OK) == 0) return fs::canonical(c).string();
    }
    Fail("varnex-plain-copy not found beside this program");
}

std::string MBps(double bytes, const SAMPLES& s) {
    return Fixed(MegaBytes(bytes) / s.WallMedian(), 0);
}

std::string Ratio(const SAMPLES& a, const SAMPLES& b) {
    return Fixed(a.WallMedian() / b.WallMedian(), 2);
}

int Run(int argc, char** argv) {
    std::string cliOption;
    std::string workOption;
    bool keep = false;
    int runs = 7;
    std::vector<int> sizes = {1000, 20000, 100000};
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
    std::string plainCopy = FindPlainCopy();
    std::string loadBefore = LoadAverage();

    CWorkFolder folder(workOption, keep);
    const fs::path& work = folder.Path();
    std::fprintf(stderr, "varnex-bench: %s, files in %s\n", cli.c_str(), work.c_str());

    const std::vector<std::string> buildArgs = {
        cli,  "build",   "--model",       "bench_model.smd", "--ref-anim", "bench_ref.smd",
        "-o", "out.smd", "bench_anim.smd"};
    std::vector<std::string> oneThreadArgs = buildArgs;
    oneThreadArgs.insert(oneThreadArgs.begin() + 2, {"--threads", "1"});
    const std::vector<std::string> copyArgs = {"cp", "bench_anim.smd", "copy.smd"};
    const std::vector<std::string> plainArgs = {plainCopy, "bench_anim.smd", "plain.smd"};
    const std::vector<std::string> convertArgs = {
        cli,          "convert",       "--model",       "bench_model.smd",
        "--ref-anim", "bench_ref.smd", "bench_anim.smd"};
    std::vector<std::string> worldArgs = buildArgs;
    worldArgs.insert(worldArgs.begin() + 2, {"--method", "world"});
    std::vector<std::string> feetArgs = buildArgs, worldFeetArgs = worldArgs;
    feetArgs.insert(feetArgs.begin() + 2, {"--feet", "contact"});
    worldFeetArgs.insert(worldFeetArgs.begin() + 2, {"--feet", "contact"});
    const std::vector<std::string> checkArgs = {
        cli, "check", "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd", "bench_anim.smd"};
    const std::vector<std::string> previewArgs = {
        cli,  "preview",     "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd",
        "--step", "40", "-o", "preview.svg", "bench_anim.smd"};

    std::vector<SIZE_ROW> rows;
    int convertFrames = std::find(sizes.begin(), sizes.end(), CONVERT_FRAMES) != sizes.end()
                            ? CONVERT_FRAMES
                            : sizes.back();
    for (int frames : sizes) {
        SIZE_ROW row;
        row.frames = frames;
        std::fprintf(stderr, "  %d frames: writing the files\n", frames);
        row.animBytes = static_cast<double>(WriteBenchFiles(work.string(), frames));
        sync();
        std::fprintf(stderr, "  %d frames: build, cp, plain copy%s in turn, %d runs\n", frames,
                     frames == convertFrames ? ", convert" : "", runs);
        for (int i = 0; i < runs; ++i) {
            row.build.Add(RunOnce(buildArgs, work, work / "out.smd"));
            row.oneThread.Add(RunOnce(oneThreadArgs, work, work / "out.smd"));
            row.copy.Add(RunOnce(copyArgs, work, work / "copy.smd"));
            row.plain.Add(RunOnce(plainArgs, work, work / "plain.smd"));
            if (frames == convertFrames) {
                row.convert.Add(RunOnce(convertArgs, work, work / "bench_animNew.smd"));
                row.check.Add(RunOnce(checkArgs, work, fs::path()));
                row.preview.Add(RunOnce(previewArgs, work, work / "preview.svg"));
                row.feet.Add(RunOnce(feetArgs, work, work / "out.smd"));
                row.world.Add(RunOnce(worldArgs, work, work / "out.smd"));
                row.worldFeet.Add(RunOnce(worldFeetArgs, work, work / "out.smd"));
            }
        }
        CheckAnimationLines(work / "out.smd", frames);
        if (frames == convertFrames) CheckAnimationLines(work / "bench_animNew.smd", frames);
        for (const char* name : {"out.smd", "copy.smd", "plain.smd", "bench_animNew.smd", "preview.svg"}) {
            fs::remove(work / name);
        }
        rows.push_back(row);
    }

    // Many small files: 200 copies of a real-sized animation, built one call each, then all in
    // one call, the two in turn.
    std::fprintf(stderr, "  batch: %d files of %d frames, %d rounds\n", BATCH_FILES,
                 BATCH_FRAMES, runs);
    double batchBytes = static_cast<double>(WriteBenchFiles(work.string(), BATCH_FRAMES));
    fs::path batchIn = work / "batch-in";
    fs::create_directories(batchIn);
    std::vector<std::string> batchArgs = {cli,          "build",         "--model",
                                          "bench_model.smd", "--ref-anim", "bench_ref.smd",
                                          "--out-dir",  "batch-out"};
    for (int i = 0; i < BATCH_FILES; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "anim%03d.smd", i);
        fs::copy_file(work / "bench_anim.smd", batchIn / name,
                      fs::copy_options::overwrite_existing);
        batchArgs.push_back("batch-in/" + std::string(name));
    }
    sync();
    SAMPLES separate;  // one call per file, each timed
    SAMPLES oneCall;   // one call on all the files
    SAMPLES empty;     // an empty program started the same way: the floor of a separate call
    SAMPLES copyOne;   // cp of each file, one call each: a program that reads and writes it
    for (int round = 0; round < runs; ++round) {
        // Each call writes a new file, as a batch script does: replacing one instead costs a
        // flush that ext4 starts at the rename, which is the file system's, not the build's.
        fs::remove_all(work / "batch-one");
        fs::create_directories(work / "batch-one");
        fs::remove_all(work / "batch-cp");
        fs::create_directories(work / "batch-cp");
        sync();
        for (int i = 0; i < BATCH_FILES; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "anim%03d.smd", i);
            separate.Add(RunChild({cli, "build", "--model", "bench_model.smd", "--ref-anim",
                                   "bench_ref.smd", "-o", "batch-one/" + std::string(name),
                                   "batch-in/" + std::string(name)},
                                  work));
            empty.Add(RunChild({"true"}, work));
            copyOne.Add(RunChild({"cp", "batch-in/" + std::string(name),
                                  "batch-cp/" + std::string(name)},
                                 work));
        }
        oneCall.Add(RunOnce(batchArgs, work, work / "batch-out"));
    }
    CheckAnimationLines(work / "batch-one" / "anim000.smd", BATCH_FRAMES);

    // A whole set: a .qc of as many sequences, each naming its own copy of the animation, built
    // by one `varnex-cli qc` into a new folder each round.
    {
        std::string qc = "$cd \".\"\n";
        for (int i = 0; i < QC_SEQUENCES; ++i) {
            char line[96];
            std::snprintf(line, sizeof line, "$sequence \"seq%03d\" \"batch-in/anim%03d\" fps 30 loop\n",
                          i, i);
            qc += line;
        }
        std::FILE* f = std::fopen((work / "set.qc").string().c_str(), "wb");
        if (f == nullptr || std::fwrite(qc.data(), 1, qc.size(), f) != qc.size()) Fail("set.qc");
        std::fclose(f);
    }
    SAMPLES qcSet;
    for (int round = 0; round < runs; ++round) {
        fs::remove_all(work / "qc-out");
        sync();
        qcSet.Add(RunChild({cli, "qc", "--model", "bench_model.smd", "--ref-anim", "bench_ref.smd",
                            "--qc", "set.qc", "--out-dir", "qc-out"},
                           work));
    }
    CheckAnimationLines(work / "qc-out" / "batch-in" / "anim000.smd", BATCH_FRAMES);

    struct utsname host {};
    uname(&host);
    std::printf("### varnex-cli benchmark\n\n");
    double memoryGiB = std::atof(FirstLineWith("/proc/meminfo", "MemTotal").c_str()) / 1048576.0;
    std::printf(
        "Machine: %u logical CPUs (nproc), %s, %.1f GiB memory; Linux %s; files on %s; %s build "
        "of varnex-cli, compiler %s.\n\n",
        std::thread::hardware_concurrency(), FirstLineWith("/proc/cpuinfo", "model name").c_str(),
        memoryGiB, host.release, FileSystemOf(work).c_str(),
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
        "BUILD SMD: `varnex-cli build` of a walk on a 60-node source skeleton onto a 60-node "
        "model (60 node lines written per frame), against `cp` and a plain copy through a 64 KB "
        "buffer (`varnex-plain-copy`) of the same file; %d runs of each, in turn; median wall "
        "time, spread of the build's runs; MB = 10^6 bytes of the animation read. The build takes "
        "a worker thread per processor (`--threads`, default); `1 thread` is the same build with "
        "`--threads 1`, run in turn with the others.\n\n",
        runs);
    std::printf(
        "| frames | animation MB | build s | build CPU s | build MB/s | spread | peak RSS MiB | "
        "cp s | cp MB/s | plain copy s | build / cp | build / plain copy | 1 thread s | "
        "1 thread / cp |\n");
    std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const SIZE_ROW& r : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
                    Grouped(r.frames).c_str(), Fixed(MegaBytes(r.animBytes), 1).c_str(),
                    Fixed(r.build.WallMedian(), 3).c_str(), Fixed(r.build.CpuMedian(), 3).c_str(),
                    MBps(r.animBytes, r.build).c_str(), r.build.Spread().c_str(),
                    Fixed(r.build.maxRssMiB, 1).c_str(), Fixed(r.copy.WallMedian(), 3).c_str(),
                    MBps(r.animBytes, r.copy).c_str(), Fixed(r.plain.WallMedian(), 3).c_str(),
                    Ratio(r.build, r.copy).c_str(), Ratio(r.build, r.plain).c_str(),
                    Fixed(r.oneThread.WallMedian(), 3).c_str(), Ratio(r.oneThread, r.copy).c_str());
    }
    std::printf("\nSpread of cp and the plain copy:");
    for (const SIZE_ROW& r : rows) {
        std::printf(" %s frames cp %s, plain copy %s;", Grouped(r.frames).c_str(),
                    r.copy.Spread().c_str(), r.plain.Spread().c_str());
    }
    std::printf("\n");
    for (const SIZE_ROW& r : rows) {
        if (r.convert.wall.empty()) continue;
        std::printf(
            "\nConvert CS Bipede: `varnex-cli convert` (thighs re-hung from the spine), same runs "
            "in turn.\n\n");
        std::printf("| frames | animation MB | convert s | MB/s | spread | peak RSS MiB | "
                    "convert / cp | convert / plain copy |\n");
        std::printf("|---:|---:|---:|---:|---:|---:|---:|---:|\n");
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s |\n", Grouped(r.frames).c_str(),
                    Fixed(MegaBytes(r.animBytes), 1).c_str(),
                    Fixed(r.convert.WallMedian(), 3).c_str(), MBps(r.animBytes, r.convert).c_str(),
                    r.convert.Spread().c_str(), Fixed(r.convert.maxRssMiB, 1).c_str(),
                    Ratio(r.convert, r.copy).c_str(), Ratio(r.convert, r.plain).c_str());
    }
    for (const SIZE_ROW& r : rows) {
        if (r.check.wall.empty()) continue;
        std::printf(
            "\nMotion check and preview of the same animation, medians of %d runs taken in turn "
            "with the build: `varnex-cli check` (every frame retargeted in memory and compared) "
            "and `varnex-cli preview --step 40` (the SVG of every 40th frame).\n\n"
            "| frames | build s | check s | check / build | preview s | preview / build |\n"
            "|---:|---:|---:|---:|---:|---:|\n"
            "| %s | %s | %s | %s | %s | %s |\n",
            runs, Grouped(r.frames).c_str(), Fixed(r.build.WallMedian(), 3).c_str(),
            Fixed(r.check.WallMedian(), 3).c_str(), Ratio(r.check, r.build).c_str(),
            Fixed(r.preview.WallMedian(), 3).c_str(), Ratio(r.preview, r.build).c_str());
        bool met = r.check.WallMedian() <= GOAL_MOTION_RATIO * r.build.WallMedian() &&
                   r.preview.WallMedian() <= GOAL_MOTION_RATIO * r.build.WallMedian();
        std::printf("\nGoal: check and preview at most %.0fx BUILD SMD: %s.\n", GOAL_MOTION_RATIO,
                    met ? "met" : "missed");
        std::printf(
            "\nBUILD SMD by `--method world` (bones pointed as the source's, angles written from "
            "rotations), same runs in turn.\n\n"
            "| frames | build s | world s | world / build | world CPU s |\n"
            "|---:|---:|---:|---:|---:|\n"
            "| %s | %s | %s | %s | %s |\n",
            Grouped(r.frames).c_str(), Fixed(r.build.WallMedian(), 3).c_str(),
            Fixed(r.world.WallMedian(), 3).c_str(), Ratio(r.world, r.build).c_str(),
            Fixed(r.world.CpuMedian(), 3).c_str());
        std::printf("\nGoal: world at most %.0fx BUILD SMD: %s.\n", GOAL_WORLD_RATIO,
                    r.world.WallMedian() <= GOAL_WORLD_RATIO * r.build.WallMedian() ? "met"
                                                                                   : "missed");
        std::printf(
            "\nFeet on the ground: BUILD SMD by each method without and with `--feet contact`, "
            "medians of the same runs.\n\n"
            "| frames | local s | `--feet contact` s | ratio | peak RSS MiB | world s | "
            "`--feet contact` s | ratio | peak RSS MiB |\n"
            "|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n"
            "| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
            Grouped(r.frames).c_str(), Fixed(r.build.WallMedian(), 3).c_str(),
            Fixed(r.feet.WallMedian(), 3).c_str(), Ratio(r.feet, r.build).c_str(),
            Fixed(r.feet.maxRssMiB, 1).c_str(), Fixed(r.world.WallMedian(), 3).c_str(),
            Fixed(r.worldFeet.WallMedian(), 3).c_str(), Ratio(r.worldFeet, r.world).c_str(),
            Fixed(r.worldFeet.maxRssMiB, 1).c_str());
        bool feetMet = r.feet.WallMedian() <= GOAL_FEET_RATIO * r.build.WallMedian() &&
                       r.worldFeet.WallMedian() <= GOAL_FEET_RATIO * r.world.WallMedian();
        std::printf("\nGoal: `--feet contact` at most %.0fx the same method without it: %s.\n",
                    GOAL_FEET_RATIO, feetMet ? "met" : "missed");
    }
    std::printf(
        "\nA whole set: `varnex-cli qc` of a .qc of %d sequences, each naming its own %s KB "
        "animation, into a new folder: median %s ms per set (process time %s ms, spread %s, peak "
        "RSS %s MiB). Goal: at most %.0f ms: %s.\n",
        QC_SEQUENCES, Fixed(batchBytes / 1024, 1).c_str(), Fixed(qcSet.WallMedian() * 1e3, 1).c_str(),
        Fixed(qcSet.CpuMedian() * 1e3, 1).c_str(), qcSet.Spread().c_str(),
        Fixed(qcSet.maxRssMiB, 1).c_str(), GOAL_QC_MS,
        qcSet.WallMedian() * 1e3 <= GOAL_QC_MS ? "met" : "missed");
    double separateMs = separate.WallMedian() * 1e3;
    double perFileMs = oneCall.WallMedian() * 1e3 / BATCH_FILES;
    std::printf(
        "\nMany small files (%d animations of %s KB): %d separate `varnex-cli build` calls, "
        "median %s ms per call (%s ms process time, spread %s, peak RSS %s MiB), each writing a "
        "new file; starting an empty program (`true`) the same way, the floor of any separate "
        "call on this machine: median %s ms; `cp` of each file, one call each: median %s ms; one "
        "call on all %d files, median %s ms per file (spread %s).\n",
        BATCH_FILES, Fixed(batchBytes / 1024, 1).c_str(), BATCH_FILES,
        Fixed(separateMs, 2).c_str(), Fixed(separate.CpuMedian() * 1e3, 2).c_str(),
        separate.Spread().c_str(), Fixed(separate.maxRssMiB, 1).c_str(),
        Fixed(empty.WallMedian() * 1e3, 2).c_str(), Fixed(copyOne.WallMedian() * 1e3, 2).c_str(),
        BATCH_FILES, Fixed(perFileMs, 3).c_str(),
        oneCall.Spread().c_str());

    // The team's goals, said plainly under the tables.
    double peak = std::max(separate.maxRssMiB, oneCall.maxRssMiB);
    for (const SIZE_ROW& r : rows) {
        peak = std::max({peak, r.build.maxRssMiB, r.oneThread.maxRssMiB, r.convert.maxRssMiB});
    }
    std::printf("\nGoals: ");
    for (const SIZE_ROW& r : rows) {
        if (r.frames != GOAL_FRAMES) continue;
        double toCp = r.build.WallMedian() / r.copy.WallMedian();
        double toPlain = r.build.WallMedian() / r.plain.WallMedian();
        std::printf("build at most %.1fx cp at %s frames: %s (%.2fx); at most %.1fx the plain "
                    "copy: %s (%.2fx); ",
                    GOAL_CP_RATIO, Grouped(GOAL_FRAMES).c_str(),
                    toCp <= GOAL_CP_RATIO ? "met" : "missed", toCp, GOAL_COPY_RATIO,
                    toPlain <= GOAL_COPY_RATIO ? "met" : "missed", toPlain);
    }
    std::printf("peak memory under %.0f MiB at every length: %s (largest %.1f MiB); ", GOAL_RSS_MIB,
                peak < GOAL_RSS_MIB ? "met" : "missed", peak);
    std::printf("a separate call at most %.1f ms: %s; one call at most %.1f ms per file: %s.\n",
                GOAL_SEPARATE_MS, separateMs <= GOAL_SEPARATE_MS ? "met" : "missed", GOAL_BATCH_MS,
                perFileMs <= GOAL_BATCH_MS ? "met" : "missed");
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
