// varnex-motion-bench: how long the motion check and the SVG preview take on the benchmark's
// 20,000-frame walk (60 source nodes onto a 60-node model), in memory.
//
// Reproduce, from the top of the repository:
// clang-format off
//   cmake -S . -B build-bench -DVARNEX_BENCH=ON -DVARNEX_GUI=OFF -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release && make -C build-bench -j2 varnex-motion-bench && build-bench/bench/varnex-motion-bench
// clang-format on
//
// It makes the walk's SMD text (our own skeletons, see tools/sample_skeletons.h) and times, best
// of several runs: reading the frame lines into poses (every value by the atof rule, as a reader
// of the whole file would), the check (every frame retargeted in memory, both skeletons solved,
// the report made), and the preview of every 40th frame (retarget, solving, the SVG text). The
// commands add opening and reading the files to these.
//
// Options: --frames N (20000 by default), --runs N (3), --step N (40).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "motion/biped_rig.h"
#include "motion/motion_check.h"
#include "preview/svg_preview.h"
#include "sample_skeletons.h"
#include "smd_input/number_text.h"

using namespace varnex;

namespace {
using CLOCK = std::chrono::steady_clock;

std::vector<SKELETON_NODE> NodesOf(const SAMPLE_SKELETON& skeleton) {
    std::vector<SKELETON_NODE> nodes;
    for (const SAMPLE_NODE& n : skeleton.nodes) nodes.push_back({n.name, n.parent});
    return nodes;
}

FRAME_POSES RestOf(const SAMPLE_SKELETON& skeleton) {
    FRAME_POSES frame;
    for (const SAMPLE_NODE& n : skeleton.nodes) {
        frame.push_back({n.rest.x, n.rest.y, n.rest.z, n.rest.rx, n.rest.ry, n.rest.rz});
    }
    return frame;
}

// The frames of SMD text behind "skeleton": every node line's six values by the atof rule.
std::vector<FRAME_POSES> ReadFrames(const std::string& text) {
    std::vector<FRAME_POSES> frames;
    std::size_t at = text.find("skeleton\r\n") + 10;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (line.starts_with("time")) {
            frames.emplace_back();
            frames.back().reserve(64);
            continue;
        }
        if (line.starts_with("end")) break;
        double v[7];
        std::size_t p = 0;
        for (double& value : v) {
            while (p < line.size() && IsBlank(line[p])) ++p;
            std::size_t q = p;
            while (q < line.size() && !IsBlank(line[q]) && line[q] != '\r') ++q;
            value = TextToDouble(line.substr(p, q - p));
            p = q;
        }
        frames.back().push_back({v[1], v[2], v[3], v[4], v[5], v[6]});
    }
    return frames;
}

// Each model node takes the first source node of its class, class 0 the source's root; bone
// scales are the ratios of rest position lengths.
std::vector<RETARGET_ROW> PairByClass(const std::vector<SKELETON_NODE>& model,
                                      const CBipedRig& modelRig, const FRAME_POSES& modelRest,
                                      const CBipedRig& sourceRig, const FRAME_POSES& sourceRest) {
    auto length = [](const POSE& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); };
    std::vector<RETARGET_ROW> rows(model.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        rows[row].nodes = std::max(0, sourceRig.First(modelRig.ClassOf(row)));
        int line = DecodeRow(static_cast<int>(row), rows[row]).source;
        if (line != REST_LINE) {
            rows[row].boneScale =
                length(modelRest[row]) / length(sourceRest[static_cast<std::size_t>(line)]);
        }
    }
    return rows;
}

// The shortest wall time and the shortest process time of `runs` runs: on a shared machine the
// process time says more.
struct TIMING {
    double wall = 1e300, cpu = 1e300;
};

template <typename WORK>
TIMING Best(int runs, WORK work) {
    TIMING best;
    for (int i = 0; i < runs; ++i) {
        auto start = CLOCK::now();
        std::clock_t cpuStart = std::clock();
        work();
        best.cpu =
            std::min(best.cpu, static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
        best.wall =
            std::min(best.wall, std::chrono::duration<double>(CLOCK::now() - start).count());
    }
    return best;
}

int Number(const std::string& option, const char* text) {
    std::string s = text;
    if (s.empty() || s.size() > 7 || s.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(s) < 1) {
        throw std::runtime_error(option + " takes a whole number above 0, not \"" + s + "\"");
    }
    return std::stoi(s);
}

int Run(int argc, char** argv) {
    int frameCount = 20000, runs = 3, step = 40;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) throw std::runtime_error("unknown argument or missing value: " + arg);
        if (arg == "--frames") {
            frameCount = Number(arg, argv[++i]);
        } else if (arg == "--runs") {
            runs = Number(arg, argv[++i]);
        } else if (arg == "--step") {
            step = Number(arg, argv[++i]);
        } else {
            throw std::runtime_error("unknown argument \"" + arg +
                                     "\" (--frames N, --runs N, --step N)");
        }
    }

    SAMPLE_SKELETON modelSkeleton = BenchModelSkeleton();
    SAMPLE_SKELETON refSkeleton = BenchRefSkeleton();
    std::vector<SKELETON_NODE> modelNodes = NodesOf(modelSkeleton);
    std::vector<SKELETON_NODE> sourceNodes = NodesOf(refSkeleton);
    const CBipedRig modelRig(modelNodes), sourceRig(sourceNodes);
    FRAME_POSES modelRest = RestOf(modelSkeleton);
    FRAME_POSES sourceRest = RestOf(refSkeleton);
    std::string text = SmdHeader(refSkeleton);
    for (int t = 0; t < frameCount; ++t) AppendFrame(text, t, WalkFrame(refSkeleton, t, 30));
    text += "end\r\n";

    std::vector<DECODED_ROW> rows =
        DecodeRows(PairByClass(modelNodes, modelRig, modelRest, sourceRig, sourceRest));
    LEGS_RATIO legs =
        MeasureLegsRatio(modelNodes, modelRig, modelRest, sourceNodes, sourceRig, sourceRest);
    std::vector<FRAME_POSES> frames;
    TIMING read = Best(runs, [&] { frames = ReadFrames(text); });
    if (static_cast<int>(frames.size()) != frameCount) throw std::runtime_error("frames misread");

    MOTION_REPORT report;
    TIMING check = Best(runs, [&] {
        MOTION_CHECK_INPUT input{"bench",  sourceNodes, sourceRig, sourceRest, modelNodes,
                                 modelRig, modelRest,   rows,      legs,       false};
        CFrameRetarget retarget(modelRest, static_cast<int>(modelNodes.size()), rows);
        CMotionCheck motion(std::move(input));
        std::vector<POSE> result;
        for (const FRAME_POSES& frame : frames) {
            retarget.Apply(frame, result);
            motion.AddFrame(frame, result);
        }
        report = motion.Report();
    });

    std::size_t svgBytes = 0;
    TIMING preview = Best(runs, [&] {
        CFrameRetarget retarget(modelRest, static_cast<int>(modelNodes.size()), rows);
        CPreviewFigure sourceFigure(
            sourceNodes, sourceRig, sourceRest,
            DrivingSourceNodes(rows, modelNodes.size(), sourceNodes.size()));
        CPreviewFigure resultFigure(modelNodes, modelRig, modelRest,
                                    PairedRows(rows, modelNodes.size(), sourceNodes.size()));
        std::vector<POSE> poses;
        for (std::size_t f = 0; f < frames.size(); f += static_cast<std::size_t>(step)) {
            retarget.Apply(frames[f], poses);
            sourceFigure.AddFrame(frames[f]);
            resultFigure.AddFrame(poses);
        }
        svgBytes = PreviewSvg(sourceFigure, resultFigure, PREVIEW_OPTIONS()).size();
    });

    std::printf("### Motion check and preview, in memory\n\n");
    std::printf(
        "%d frames of a 60-node walk onto a 60-node model (%.1f MB of SMD text), best of "
        "%d runs.\n\n",
        frameCount, static_cast<double>(text.size()) / 1e6, runs);
    std::printf("| work | wall s | CPU s |\n|---|---:|---:|\n");
    std::printf("| reading the frame lines into poses | %.3f | %.3f |\n", read.wall, read.cpu);
    std::printf("| check: retarget, solve both skeletons, report | %.3f | %.3f |\n", check.wall,
                check.cpu);
    std::printf("| preview, every %dth frame: retarget, solve, SVG (%.1f MB) | %.3f | %.3f |\n",
                step, static_cast<double>(svgBytes) / 1e6, preview.wall, preview.cpu);
    std::printf("\nReport: %zu rows, %zu warnings; legs' ratio %.3f.\n", report.bones.size(),
                report.warnings.size(), report.legs.ratio);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "varnex-motion-bench: %s\n", e.what());
        return 1;
    }
}
