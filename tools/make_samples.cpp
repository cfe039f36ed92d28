// varnex-make-samples: writes the sample SMD files of samples/, or the large files of the
// benchmark.
//
// Stand-alone build, from the top of the repository:
// clang-format off
//   g++ -std=c++20 -O2 -Wall -Wextra -Wshadow -ffp-contract=off -o /tmp/varnex-make-samples tools/make_samples.cpp tools/sample_skeletons.cpp
//   /tmp/varnex-make-samples samples
// clang-format on
//
// Usage:
//   varnex-make-samples DIR                 knight_ref.smd, runner_ref.smd, runner_walk.smd
//   varnex-make-samples --bench DIR FRAMES  bench_model.smd, bench_ref.smd, bench_anim.smd
//
// Exit status: 0 written, 1 a file could not be written, 2 wrong command line.
#include <cstdio>
#include <exception>
#include <string>

#include "sample_skeletons.h"

namespace {
const char* const USAGE =
    "usage: varnex-make-samples DIR\n"
    "       varnex-make-samples --bench DIR FRAMES\n"
    "  DIR     the folder written to (made when missing)\n"
    "  FRAMES  frames of bench_anim.smd, 1 to 10000000\n";

int Usage(const std::string& problem) {
    std::fprintf(stderr, "varnex-make-samples: %s\n%s", problem.c_str(), USAGE);
    return 2;
}

// A positive frame count in decimal digits only, so "2e4" or "20k" are told, not misread.
bool ParseFrames(const std::string& text, int& frames) {
    if (text.empty() || text.size() > 8) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    frames = std::stoi(text);
    return frames >= 1 && frames <= 10000000;
}
}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2 && std::string(argv[1]) != "--bench") {
            WriteSampleFiles(argv[1]);
            std::printf("written: knight_ref.smd, runner_ref.smd, runner_walk.smd in %s\n",
                        argv[1]);
            return 0;
        }
        if (argc == 4 && std::string(argv[1]) == "--bench") {
            int frames = 0;
            if (!ParseFrames(argv[3], frames)) {
                return Usage(
                    std::string("FRAMES must be a whole number from 1 to 10000000, not \"") +
                    argv[3] + "\"");
            }
            long long bytes = WriteBenchFiles(argv[2], frames);
            std::printf(
                "written: bench_model.smd, bench_ref.smd, bench_anim.smd (%d frames, %lld "
                "bytes) in %s\n",
                frames, bytes, argv[2]);
            return 0;
        }
        return Usage("wrong arguments");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnex-make-samples: %s\n", e.what());
        return 1;
    }
}
