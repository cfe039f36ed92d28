#include "sample_animation.h"

#include <cmath>

#include <gtest/gtest.h>

#include "session/retarget_session.h"
#include "test_support.h"

namespace varnex {

namespace {
// The skeleton and first frame as an SMD file's text.
std::string FirstFrameSmd(const SAMPLE_ANIMATION& a) {
    std::string text = "version 1\nnodes\n";
    char line[160];
    for (std::size_t n = 0; n < a.nodes.size(); ++n) {
        std::snprintf(line, sizeof line, "%3zu \"%s\" %d\n", n, a.nodes[n].name.c_str(),
                      a.nodes[n].parent);
        text += line;
    }
    text += "end\nskeleton\ntime 0\n";
    for (std::size_t n = 0; n < a.frames[0].size(); ++n) {
        const POSE& p = a.frames[0][n];
        std::snprintf(line, sizeof line, "%3zu %.6f %.6f %.6f %.6f %.6f %.6f\n", n, p.x, p.y, p.z,
                      p.rx, p.ry, p.rz);
        text += line;
    }
    return text + "end\n";
}
}  // namespace

std::vector<RETARGET_ROW> PairByClass(const SAMPLE_ANIMATION& model,
                                      const SAMPLE_ANIMATION& source) {
    CTempDir dir;
    WriteFile(dir.Path("model.smd"), FirstFrameSmd(model));
    WriteFile(dir.Path("source.smd"), FirstFrameSmd(source));
    CRetargetSession session;
    session.LoadModel(dir.Path("model.smd"));
    session.LoadReference(dir.Path("source.smd"));
    const std::vector<DECODED_ROW>& rows = session.MotionSetup().rows;
    return {rows.begin(), rows.end()};
}

MOTION_REPORT CheckRetarget(const SAMPLE_ANIMATION& model, const SAMPLE_ANIMATION& ref,
                            const SAMPLE_ANIMATION& anim, const std::vector<RETARGET_ROW>& rows,
                            bool rootFromLegs, CRootHeightRange* buildCheck,
                            const std::string& name) {
    MOTION_CHECK_INPUT input;
    input.animation = name;
    input.sourceNodes = anim.nodes;
    input.sourceRig = CBipedRig(anim.nodes);
    input.sourceRest = ref.frames[0];
    input.modelNodes = model.nodes;
    input.modelRig = CBipedRig(model.nodes);
    input.modelRest = model.frames[0];
    input.rows = DecodeRows(rows);
    input.legs = MeasureLegsRatio(model.nodes, input.modelRig, model.frames[0], ref.nodes,
                                  CBipedRig(ref.nodes), ref.frames[0]);
    input.rootFromLegs = rootFromLegs;
    ROOT_FROM_LEGS rule;
    EXPECT_TRUE(
        MakeRootFromLegs(input.legs.ratio, ref.frames[0], model.frames[0], rows[0].nodes, rule));
    CFrameRetarget retarget(model.frames[0], static_cast<int>(model.nodes.size()), input.rows,
                            rootFromLegs ? &rule : nullptr);
    CMotionCheck check(input);
    std::vector<POSE> result;
    for (const FRAME_POSES& frame : anim.frames) {
        retarget.Apply(frame, result);
        check.AddFrame(frame, result);
        if (buildCheck != nullptr) buildCheck->Add(frame[0].z, result[0].z);
    }
    return check.Report();
}

}  // namespace varnex
