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

// The skeleton of WriteLongAnimation paired with itself: every output line is its input line.
PROCESS_RESULT BuildOnItself(const CTempDir& dir, const std::string& anim, const std::string& out) {
    return RunIn(dir, {"build", "--model", "model.smd", "--ref-anim", "model.smd", "-o", out, anim});
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

TEST(LongAnimation, HundredThousandFramesBuildWholeWithFlatPeakMemory) {
    CTempDir dir;
    WriteLongAnimation(dir.Path("model.smd"), 1);
    WriteLongAnimation(dir.Path("short.smd"), 1000);
    WriteLongAnimation(dir.Path("long.smd"), 100000);
    ASSERT_GT(std::filesystem::file_size(dir.Path("long.smd")), 28000000u);

    PROCESS_RESULT shortRun = BuildOnItself(dir, "short.smd", "short_out.smd");
    PROCESS_RESULT longRun = BuildOnItself(dir, "long.smd", "long_out.smd");

    EXPECT_EQ(shortRun.err, "");
    EXPECT_EQ(shortRun.out, "écrit : short_out.smd\n");
    ASSERT_EQ(shortRun.exitStatus, 0);
    EXPECT_EQ(longRun.err, "");
    EXPECT_EQ(longRun.out, "écrit : long_out.smd\n");
    ASSERT_EQ(longRun.exitStatus, 0);
    EXPECT_TRUE(SameFileBytes(dir.Path("short_out.smd"), dir.Path("short.smd")));
    EXPECT_TRUE(SameFileBytes(dir.Path("long_out.smd"), dir.Path("long.smd")))
        << "every one of the 100,000 frames must come out as it went in";
    RecordProperty("peak_kb_1000_frames", std::to_string(shortRun.maxRssKb));
    RecordProperty("peak_kb_100000_frames", std::to_string(longRun.maxRssKb));
    ExpectFlatPeak(shortRun, longRun);
}

TEST(LongAnimation, FrameOfAMillionLinesBuildsWithFlatPeakMemory) {
    CTempDir dir;
    WriteLongAnimation(dir.Path("model.smd"), 1);
    WriteLongAnimation(dir.Path("short.smd"), 1000);
    // The same frames, the last one with a million lines no row reads (about 60 MB).
    WriteLongAnimation(dir.Path("wide.smd"), 1000, 1000000);
    ASSERT_GT(std::filesystem::file_size(dir.Path("wide.smd")), 60000000u);

    PROCESS_RESULT shortRun = BuildOnItself(dir, "short.smd", "short_out.smd");
    PROCESS_RESULT wideRun = BuildOnItself(dir, "wide.smd", "wide_out.smd");

    EXPECT_EQ(wideRun.err, "");
    ASSERT_EQ(wideRun.exitStatus, 0);
    ASSERT_EQ(shortRun.exitStatus, 0);
    EXPECT_TRUE(SameFileBytes(dir.Path("wide_out.smd"), dir.Path("short.smd")))
        << "the lines no row reads must not reach the output";
    RecordProperty("peak_kb_frame_of_1000005_lines", std::to_string(wideRun.maxRssKb));
    ExpectFlatPeak(shortRun, wideRun);
}

TEST(LongAnimation, HundredThousandFramesConvertWholeWithFlatPeakMemory) {
    CTempDir dir;
    WriteLongAnimation(dir.Path("model.smd"), 1);
    WriteLongAnimation(dir.Path("short.smd"), 1000);
    WriteLongAnimation(dir.Path("long.smd"), 100000);

    std::vector<std::string> convert = {"convert", "--model", "model.smd", "--ref-anim",
                                        "model.smd"};
    convert.push_back("short.smd");
    PROCESS_RESULT shortRun = RunIn(dir, convert);
    convert.back() = "long.smd";
    PROCESS_RESULT longRun = RunIn(dir, convert);

    EXPECT_EQ(shortRun.err, "");
    EXPECT_EQ(shortRun.out, "écrit : shortNew.smd\n");
    ASSERT_EQ(shortRun.exitStatus, 0);
    EXPECT_EQ(longRun.err, "");
    EXPECT_EQ(longRun.out, "écrit : longNew.smd\n");
    ASSERT_EQ(longRun.exitStatus, 0);

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
    RecordProperty("peak_kb_convert_1000_frames", std::to_string(shortRun.maxRssKb));
    RecordProperty("peak_kb_convert_100000_frames", std::to_string(longRun.maxRssKb));
    ExpectFlatPeak(shortRun, longRun);
}

}  // namespace varnex
