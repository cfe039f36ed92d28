// Long animations: BUILD SMD and Convert CS Bipede hold one frame at a time (and of it only what
// they read), so their peak memory must not grow with the file, and every frame must come out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "stress_support.h"
#include "test_support.h"

namespace varnex {

namespace {
constexpr long ALLOWED_GROWTH_KB = 8 * 1024;

PROCESS_RESULT RunIn(const CTempDir& dir, const std::vector<std::string>& args) {
    PROCESS_SETUP setup;
    setup.workDir = dir.Root().string();
    // In the sanitizer build freed blocks wait in a quarantine of up to 256 MB, which would pass
    // for growth: keep it small (a plain build ignores the variable).
    setup.prepare = []() {
        const char* given = std::getenv("ASAN_OPTIONS");
        std::string options = given != nullptr && *given != '\0' ? std::string(given) + ":" : "";
        options += "quarantine_size_mb=1";
        return setenv("ASAN_OPTIONS", options.c_str(), 1) == 0;
    };
    return RunVarnexCli(args, setup);
}

// The first `count` bytes of a file.
std::string HeadOf(const std::string& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

void ExpectFlatPeak(const PROCESS_RESULT& small, const PROCESS_RESULT& large) {
    EXPECT_LT(large.maxRssKb - small.maxRssKb, ALLOWED_GROWTH_KB)
        << "peak memory " << small.maxRssKb << " kB on the small file, " << large.maxRssKb
        << " kB on the large one";
}
}  // namespace

// The skeleton of WriteLongAnimation paired with itself: every built line is its input line.
TEST(LongAnimation, LongFilesBuildAndConvertWholeWithFlatPeakMemory) {
    CTempDir dir;
    WriteLongAnimation(dir.Path("model.smd"), 1);
    WriteLongAnimation(dir.Path("short.smd"), 1000);
    WriteLongAnimation(dir.Path("long.smd"), 100000);
    // The short file's frames, the last one with lines for nodes the list lacks.
    WriteLongAnimation(dir.Path("wide.smd"), 1000, 1000);
    ASSERT_GT(std::filesystem::file_size(dir.Path("long.smd")), 28000000u);
    auto run = [&](const std::vector<std::string>& command, const std::string& anim,
                   const std::string& written) {
        std::vector<std::string> args = command;
        args.push_back(anim);
        PROCESS_RESULT result = RunIn(dir, args);
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, "écrit : " + written + "\n");
        EXPECT_EQ(result.exitStatus, 0);
        return result;
    };
    // Every run first, the files compared after: a child forked from this process starts with its
    // pages, so a large file held here would pass for the child's own memory.
    const std::vector<std::string> build = {"build", "--model", "model.smd", "--ref-anim",
                                            "model.smd", "-o"};
    auto buildTo = [&](const std::string& output, const std::string& anim) {
        std::vector<std::string> args = build;
        args.push_back(output);
        return run(args, anim, output);
    };
    PROCESS_RESULT shortBuild = buildTo("out_short.smd", "short.smd");
    PROCESS_RESULT longBuild = buildTo("out_long.smd", "long.smd");
    std::vector<std::string> wideArgs = build;
    wideArgs.insert(wideArgs.end(), {"out_wide.smd", "wide.smd"});
    PROCESS_RESULT wideBuild = RunIn(dir, wideArgs);
    EXPECT_EQ(wideBuild.exitStatus, 1);
    EXPECT_EQ(wideBuild.err, "varnex-cli: wide.smd:6010: frame « time 999 » : le node 5 n'est pas "
                             "dans la liste des nodes du fichier (5 nodes)\n");
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out_wide.smd")));
    const std::vector<std::string> convert = {"convert", "--model", "model.smd", "--ref-anim",
                                              "model.smd"};
    PROCESS_RESULT shortConvert = run(convert, "short.smd", "shortNew.smd");
    PROCESS_RESULT longConvert = run(convert, "long.smd", "longNew.smd");
    ExpectFlatPeak(shortBuild, longBuild);
    ExpectFlatPeak(shortConvert, longConvert);

    EXPECT_TRUE(ReadFile(dir.Path("out_short.smd")) == ReadFile(dir.Path("short.smd")));
    EXPECT_TRUE(ReadFile(dir.Path("out_long.smd")) == ReadFile(dir.Path("long.smd")))
        << "every one of the 100,000 frames must come out as it went in";
    // Both thighs now hang from the spine (node 2).
    const std::string header =
        "version 1\r\nnodes\r\n  0 \"Bip01\"  -1\r\n  1 \"Bip01 Pelvis\"   0\r\n"
        "  2 \"Bip01 Spine\"   1\r\n  3 \"Bip01 L Thigh\"   2\r\n  4 \"Bip01 R Thigh\"   2\r\n"
        "end\r\nskeleton\r\n";
    std::string converted = ReadFile(dir.Path("shortNew.smd"));
    EXPECT_EQ(converted.substr(0, header.size()), header);
    // Frame f depends on f % 1000 only: the first 1,000 converted frames of the long file are
    // those of the short one, and all 100,000 frames come out, each as long as its twin.
    std::string shortFrames = converted.substr(0, converted.size() - 5);  // less "end\r\n"
    EXPECT_TRUE(HeadOf(dir.Path("longNew.smd"), shortFrames.size() + 11) ==
                shortFrames + "time 1000\r\n");
    auto timeLineBytes = [](int frames) {
        std::size_t bytes = 0;
        for (int f = 0; f < frames; ++f) bytes += ("time " + std::to_string(f) + "\r\n").size();
        return bytes;
    };
    std::size_t bodies = converted.size() - header.size() - timeLineBytes(1000) - 5;
    EXPECT_EQ(std::filesystem::file_size(dir.Path("longNew.smd")),
              header.size() + 100 * bodies + timeLineBytes(100000) + 5);
}

}  // namespace varnex
