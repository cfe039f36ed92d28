#include <gtest/gtest.h>

#include "pairing/bone_scale.h"
#include "dialog_fixture.h"

namespace varnex {
namespace {
SMD_HEAD Head(const std::vector<TEST_NODE>& nodes, const std::string& name) {
    std::string text = MakeSmd(nodes);
    CMemorySource source(text, name);
    return ReadReferenceAnimation(source);
}

// model: 0 root (0,0,40)  1 pelvis (0,0,2)  2 L Thigh (0,24,0)  3 sword (5,0,0)  4 flat (1,0,0)
// ref:   0 root (0,0,20)  1 L Leg (0,12,0)  2 spine (3,4,0)      3 pelvis (0,0,1) 4 zero (0,0,0)
const SMD_HEAD MODEL = Head({{"Bip01", -1, 0, 0, 40, 0, 0, 0}, {"Bip01 Pelvis", 0, 0, 0, 2, 0, 0, 0},
                             {"Bip01 L Thigh", 1, 0, 24, 0, 0, 0, 0}, {"Sword", 0, 5, 0, 0, 0, 0, 0},
                             {"Flat", 0, 1, 0, 0, 0, 0, 0}},
                            "model.smd");
const SMD_HEAD REF = Head({{"Bip01", -1, 0, 0, 20, 0, 0, 0}, {"Bip01 L Leg", 3, 0, 12, 0, 0, 0, 0},
                           {"Bip01 Spine", 3, 3, 4, 0, 0, 0, 0}, {"Bip01 Pelvis", 0, 0, 0, 1, 0, 0, 0},
                           {"Zero", 0, 0, 0, 0, 0, 0, 0}},
                          "ref.smd");

GRID Rows(std::initializer_list<int> nodes) {
    GRID grid;
    for (int n : nodes) grid.push_back(GRID_ROW{n, 1.0});
    return grid;
}

BIPED_MARKS Marks(int leftThigh, int spine, bool thighNamedLeg) {
    BIPED_MARKS marks;
    marks.leftThigh = leftThigh;
    marks.spine = spine;
    marks.thighNamedLeg = thighNamedLeg;
    return marks;
}
}  // namespace

TEST(BoneScale, RatioOfOffsetLengthsAndTheLegNamingAddsTheSpineToTheThighsOnly) {
    // "L Thigh" naming: the spine does not count. Row 0 paired with 0 gets the roots' ratio,
    // other rows paired with 0 exactly 1, a reference bone of zero length 0.
    BONE_SCALES r = ComputeBoneScales(MODEL, REF, Rows({0, 3, 1, 0, 4}), 5, Marks(1, 2, false));
    EXPECT_EQ(r.factor, (std::vector<double>{2.0, 2.0, 2.0, 1.0, 0.0}));
    r = ComputeBoneScales(MODEL, REF, Rows({0, 3, 1, 0, 4}), 5, Marks(1, 2, true));
    EXPECT_EQ(r.factor, (std::vector<double>{2.0, 2.0, 24.0 / 13.0, 1.0, 0.0}));
    // Without a spine the thigh keeps its plain length.
    r = ComputeBoneScales(MODEL, REF, Rows({0, 3, 1, 0, 4}), 5, Marks(1, -1, true));
    EXPECT_EQ(r.factor[2], 2.0);
    // Thigh nodes not found are -1; a row typed -1 must not take the thigh correction: NODES
    // below 0 measures line 0, 2 / 20.
    r = ComputeBoneScales(MODEL, REF, Rows({0, -1, 1, 0, 4}), 5, Marks(-1, 2, true));
    EXPECT_EQ(r.factor[1], 0.1);
    EXPECT_EQ(KindOf([] { ComputeBoneScales(MODEL, REF, Rows({0, 3, 1, 0, 104}), 5, {}); }),
              ERROR_KIND::FRAME0_NO_LINE_FOR_ROW);
}

}  // namespace varnex
