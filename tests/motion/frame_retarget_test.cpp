#include "motion/frame_retarget.h"

#include <gtest/gtest.h>

namespace varnex {

namespace {
// A source frame of five lines...
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
    CFrameRetarget retarget(REST, static_cast<int>(REST.size()), DecodeRows(rows), legs);
    std::vector<POSE> result;
    retarget.Apply(FRAME, result);
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
