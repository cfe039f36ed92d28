#include "sample_animation.h"

#include <cmath>

#include <gtest/gtest.h>

#include "motion/biped_rig.h"

namespace varnex {

std::vector<RETARGET_ROW> PairByClass(const SAMPLE_ANIMATION& model,
                                      const SAMPLE_ANIMATION& source) {
    CBipedRig modelRig(model.nodes);
    CBipedRig sourceRig(source.nodes);
    auto length = [](const POSE& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); };
    std::vector<RETARGET_ROW> rows(model.nodes.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        int partner = sourceRig.First(modelRig.ClassOf(row));
        rows[row].nodes = partner < 0 ? 0 : partner;
        int line = RowSourceLine(static_cast<int>(row), rows[row].nodes);
        if (line != ROW_KEEPS_REST) {
            rows[row].boneScale = length(model.frames[0][row]) /
                                  length(source.frames[0][static_cast<std::size_t>(line)]);
        }
    }
    return rows;
}

MOTION_REPORT CheckRetarget(const SAMPLE_ANIMATION& model, const SAMPLE_ANIMATION& ref,
                            const SAMPLE_ANIMATION& anim, const std::vector<RETARGET_ROW>& rows,
                            bool rootFromLegs, CRootHeightRange* buildCheck,
                            const std::string& name) {
    MOTION_CHECK_INPUT input;
    input.animation = name;
    input.sourceNodes = anim.nodes;
    input.sourceRest = ref.frames[0];
    input.modelNodes = model.nodes;
    input.modelRest = model.frames[0];
    input.rows = rows;
    input.legs = MeasureLegsRatio(model.nodes, model.frames[0], ref.nodes, ref.frames[0]);
    input.rootFromLegs = rootFromLegs;
    ROOT_FROM_LEGS rule;
    EXPECT_TRUE(
        MakeRootFromLegs(input.legs.ratio, ref.frames[0], model.frames[0], rows[0].nodes, rule));
    CFrameRetarget retarget(model.frames[0], static_cast<int>(model.nodes.size()), rows,
                            rootFromLegs ? &rule : nullptr);
    CMotionCheck check(input);
    std::vector<POSE> result;
    for (const FRAME_POSES& frame : anim.frames) {
        EXPECT_EQ(retarget.Apply(frame, result).fault, RETARGET_FAULT::NONE);
        check.AddFrame(frame, result);
        if (buildCheck != nullptr) buildCheck->Add(frame[0].z, result[0].z);
    }
    return check.Report();
}

}  // namespace varnex
