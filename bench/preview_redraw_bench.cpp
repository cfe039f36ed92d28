// varnex-preview-bench: how long one redraw of the window's preview takes for a 128-node skeleton
// (the benchmark's 60-node model with 68 more nodes: chains of a cape, a tail and hair), under an
// X display (xvfb-run).
//
// Reproduce, from the top of the repository:
// clang-format off
//   cmake -S . -B build-bench -DVARNEX_BENCH=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release && make -C build-bench -j2 varnex-preview-bench && xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bench/varnex-preview-bench
// clang-format on
//
// A redraw is what the preview does for every new frame, slider move or grid change: retarget the
// frame in memory, solve both skeletons, project them and stroke every bone with wxWidgets'
// graphics context, here into a bitmap the size of the preview's canvas (760 x 400). It prints
// the median and the slowest of the redraws over a walk cycle. Options: --redraws N (300).
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/preview_window.h"
#include "platform/text_catalog.h"
#include "sample_skeletons.h"

using namespace varnex;

namespace {
constexpr int NODES = 128;
constexpr double GOAL_MS = 16.0;

FRAME_POSES PosesOf(const std::vector<SAMPLE_POSE>& sample) {
    FRAME_POSES poses;
    for (const SAMPLE_POSE& p : sample) poses.push_back({p.x, p.y, p.z, p.rx, p.ry, p.rz});
    return poses;
}

// The 60-node model and chains of props hung from its spine, head and pelvis up to NODES nodes.
SAMPLE_SKELETON BigSkeleton() {
    SAMPLE_SKELETON s = BenchModelSkeleton();
    const int anchors[3] = {2, 13, 1};  // spine, head, pelvis in the knight's order
    for (int chain = 0; static_cast<int>(s.nodes.size()) < NODES; ++chain) {
        int parent = anchors[chain % 3];
        for (int link = 0; link < 12 && static_cast<int>(s.nodes.size()) < NODES; ++link) {
            SAMPLE_NODE node;
            node.name = "Chain" + std::to_string(chain) + "_" + std::to_string(link);
            node.parent = parent;
            node.rest = {-0.8, 0.3 * (chain % 5 - 2), -2.5, 0.05, 0.02 * chain, 0.0};
            parent = static_cast<int>(s.nodes.size());
            s.nodes.push_back(node);
        }
    }
    return s;
}
// Started without a main loop: the redraws are timed one after the other.
class CBenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};
}  // namespace

wxIMPLEMENT_APP_NO_MAIN(CBenchApp);

int main(int argc, char** argv) {
    int redraws = 300;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--redraws") redraws = std::max(1, std::atoi(argv[i + 1]));
    }
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "varnex-preview-bench: no X display (run under xvfb-run)\n");
        return 1;
    }
    {
        SAMPLE_SKELETON skeleton = BigSkeleton();
        MOTION_SETUP setup;
        std::vector<SKELETON_NODE> skeletonNodes;
        for (const SAMPLE_NODE& n : skeleton.nodes) skeletonNodes.push_back({n.name, n.parent});
        setup.SetModelNodes(skeletonNodes);
        for (const SAMPLE_NODE& n : skeleton.nodes) {
            setup.modelRest.push_back({n.rest.x, n.rest.y, n.rest.z, n.rest.rx, n.rest.ry, n.rest.rz});
        }
        setup.SetRefNodes(std::move(skeletonNodes));
        setup.refRest = setup.modelRest;
        for (int row = 0; row < NODES; ++row) setup.rows.push_back(DecodeRow(row, {row, 1.0, 1.1}));
        std::vector<FRAME_POSES> frames;
        for (int f = 0; f < 30; ++f) frames.push_back(PosesOf(WalkFrame(skeleton, f, 30)));
        std::vector<SKELETON_NODE> nodes = setup.refNodes;
        CPreviewScene scene(std::move(setup), std::move(nodes), std::move(frames));

        wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "bench");
        CPreviewCanvas* canvas = new CPreviewCanvas(frame, OriginalTexts());
        canvas->SetScene(&scene);
        const wxSize size(760, 400);
        wxBitmap bitmap(size.GetWidth(), size.GetHeight(), 24);
        wxMemoryDC dc(bitmap);
        std::vector<double> ms;
        for (int i = 0; i < redraws + 10; ++i) {
            canvas->SetFrame(i % 30);
            canvas->View().yaw = 0.01 * i;
            auto start = std::chrono::steady_clock::now();
            canvas->Draw(dc, size);
            double took = std::chrono::duration<double, std::milli>(
                              std::chrono::steady_clock::now() - start).count();
            if (i >= 10) ms.push_back(took);  // the first ones warm the caches and fonts
        }
        dc.SelectObject(wxNullBitmap);
        std::sort(ms.begin(), ms.end());
        double median = ms[ms.size() / 2], slowest = ms.back();
        std::printf("### Window preview redraw\n\n");
        std::printf("%d-node skeleton onto itself, %zu redraws into a %dx%d canvas: median %.2f ms, "
                    "slowest %.2f ms (goal: under %.0f ms: %s).\n",
                    NODES, ms.size(), size.GetWidth(), size.GetHeight(), median, slowest, GOAL_MS,
                    slowest < GOAL_MS ? "met" : median < GOAL_MS ? "met by the median" : "missed");
        frame->Destroy();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return 0;
}
