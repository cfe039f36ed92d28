#include "motion/frame_retarget.h"

#include <gtest/gtest.h>

#include <cmath>

namespace varnex {

namespace {
// The build's own worked example: a source frame of five lines, line 2 the example's source...
const std::vector<POSE> FRAME = {
    {0, 0, 10, 0, 0, 0}, {1, 1, 1, 0.01, 0.02, 0.03}, {1.5, -2, 10, 0.1, 0.2, 0.3},
    {-1, 0, 0, 1, 2, 3}, {0, 0, 0, 0, 0, 0},
};
// ...and the model's rest frame; node 4 rests at (0, 4, 8).
const std::vector<POSE> REST = {
    {0, 0, 40, 0, 0, 0}, {0.5, 0, 0, 0, 0, 0},     {0, 2, 0, 0, 0, 0},
    {0, 3, 0, 0, 0, 0},  {0, 4, 8, 0.4, 0.5, 0.6},
};

// Row `row` of a retarget whose every row is `setting`.
POSE Retarget(int row, RETARGET_ROW setting, const ROOT_FROM_LEGS* legs = nullptr) {
    std::vector<RETARGET_ROW> rows(REST.size(), setting);
    CFrameRetarget retarget(REST, static_cast<int>(REST.size()), rows, legs);
    std::vector<POSE> result;
    RETARGET_PROBLEM problem = retarget.Apply(FRAME, result);
    EXPECT_EQ(problem.fault, RETARGET_FAULT::NONE);
    return result[static_cast<std::size_t>(row)];
}

void ExpectPose(const POSE& got, const POSE& want, const std::string& what) {
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.z, want.z) << what;
    EXPECT_EQ(got.rx, want.rx) << what;
    EXPECT_EQ(got.ry, want.ry) << what;
    EXPECT_EQ(got.rz, want.rz) << what;
}
}  // namespace

// The values the written lines of the build's own tests hold, for the same rows.
TEST(FrameRetarget, EveryRowFormGivesTheWrittenLinesValues) {
    struct ROW_FORM {
        int row, nodes;
        double correction, scale;
        POSE pose;
    };
    const ROW_FORM FORMS[] = {
        {4, 2, 0.5, 2.0, {1.5, -2, 10, 0.1, 0.2, 0.3}},
        {4, 102, 0.25, 1.0, {1.125, -0.5, 9.5, 0.1, 0.2, 0.3}},
        {4, 0, 0.5, 2.0, REST[4]},
        {0, 0, 1.0, 3.0, {0, 0, 30, 0, 0, 0}},
        {1, 0, 1.0, 3.0, REST[1]},
        {2, 3, 1.0, 3.0, {-3, 0, 0, 1, 2, 3}},
        {0, 100, 0.5, 3.0, {0, 0, 35, 0, 0, 0}},
        {3, 100, 0.5, 3.0, REST[3]},
        {2, 101, 0.5, 3.0, {1.5, 2.5, 1.5, 0.01, 0.02, 0.03}},
        {3, -5, 1.0, 3.0, {0, 0, 30, 0, 0, 0}},
    };
    for (const ROW_FORM& f : FORMS) {
        ExpectPose(Retarget(f.row, {f.nodes, f.correction, f.scale}), f.pose,
                   "row " + std::to_string(f.row) + " NODES " + std::to_string(f.nodes));
    }
    // Correction 0 multiplies last: a negative coordinate keeps its sign, as the file's
    // "-0.000000".
    EXPECT_TRUE(std::signbit(Retarget(2, {2, 0.0, 1.0}).y));
}

TEST(FrameRetarget, ReportsTheFirstRowThatCannotBeMade) {
    std::vector<RETARGET_ROW> rows = {{0, 1, 1}, {1, 1, 1}, {7, 1, 1}, {9, 1, 1}};
    CFrameRetarget retarget(REST, 4, rows);
    std::vector<POSE> result;
    RETARGET_PROBLEM problem = retarget.Apply(FRAME, result);
    EXPECT_EQ(problem.fault, RETARGET_FAULT::MISSING_SOURCE_LINE);
    EXPECT_EQ(problem.row, 2);
    EXPECT_EQ(problem.line, 7);
    EXPECT_EQ(retarget.LinesRead(), 10);

    // Row 6 keeps a rest line the model's five-line rest frame lacks; so does blending row 5.
    CFrameRetarget tooShort(
        REST, 7,
        std::vector<RETARGET_ROW>{
            {0, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {101, 1, 1}});
    EXPECT_EQ(tooShort.PlanProblem().fault, RETARGET_FAULT::MISSING_REST_LINE);
    EXPECT_EQ(tooShort.PlanProblem().row, 5);

    std::vector<POSE> huge = FRAME;
    huge[1].x = 1e308;
    EXPECT_EQ(CFrameRetarget(REST, 2, std::vector<RETARGET_ROW>{{0, 1, 1}, {1, 1, 10}})
                  .Apply(huge, result)
                  .fault,
              RETARGET_FAULT::NOT_FINITE);
}

// Row 0 follows the legs: rest root 40 high on the model, 20 in the source, legs half as long; the
// source root at 10 is 10 below its rest, so the model's goes 5 below its own: 35. Correction,
// blend and rotation then apply as on any row.
TEST(FrameRetarget, RootFromTheLegsReplacesOnlyRowZerosScale) {
    std::vector<POSE> sourceRest = {{0, 0, 20, 0, 0, 0}, {9, 9, 9}, {0, 0, 20}};
    ROOT_FROM_LEGS legs;
    ASSERT_TRUE(MakeRootFromLegs(0.5, sourceRest, REST, 102, legs));
    ASSERT_TRUE(MakeRootFromLegs(0.5, sourceRest, REST, 0, legs));
    EXPECT_EQ(legs.sourceRest.z, 20.0);
    EXPECT_EQ(legs.modelRest.z, 40.0);
    EXPECT_FALSE(MakeRootFromLegs(0.5, sourceRest, REST, 3, legs));

    ExpectPose(Retarget(0, {0, 1.0, 99.0}, &legs), {0, 0, 35, 0, 0, 0}, "plain");
    ExpectPose(Retarget(0, {0, 2.0, 99.0}, &legs), {0, 0, 70, 0, 0, 0}, "corrected");
    ExpectPose(Retarget(0, {100, 0.5, 99.0}, &legs), {0, 0, 37.5, 0, 0, 0}, "blended");
    ExpectPose(Retarget(2, {2, 1.0, 2.0}, &legs), {3, -4, 20, 0.1, 0.2, 0.3}, "other rows");
}

}  // namespace varnex
