#include "motion/biped_rig.h"
#include "motion/legs_ratio.h"

#include <gtest/gtest.h>

namespace varnex {

// Model, "L Thigh" naming:            Source, "L Leg" naming:
//   0 root                              0 root
//   1 L Thigh  (0,4,-2)                 1 L Leg   (0,5,-1)
//   2 L Calf   (0,0,-10)                2 L Leg1  (0,0,-6)
//   3 L Foot   (0,0,-8)                 3 L Foot  (0,0,-3)
//   4 R Thigh  (0,-4,-2)                4 R Leg   (0,-5,-1)
//   5 R Calf   (0,0,-10)                5 R Leg1  (0,0,-8)
//   6 R Hock   (0,6,-8)  no class       6 R Foot  (0,0,-3)
//   7 R Foot   (0,0,-8)
// Model legs: left 18, right 10 + 10 + 8 = 28 (the hock counts); source legs 9 and 11.
TEST(LegsRatio, SumsTheChainBelowEachThighAndAveragesTheSides) {
    std::vector<SKELETON_NODE> model = {{"root", -1},  {"L Thigh", 0}, {"L Calf", 1},
                                        {"L Foot", 2}, {"R Thigh", 0}, {"R Calf", 4},
                                        {"R Hock", 5}, {"R Foot", 6}};
    std::vector<POSE> modelRest = {{0, 0, 30},  {0, 4, -2},  {0, 0, -10}, {0, 0, -8},
                                   {0, -4, -2}, {0, 0, -10}, {0, 6, -8},  {0, 0, -8}};
    std::vector<SKELETON_NODE> source = {{"root", -1}, {"L Leg", 0},  {"L Leg1", 1}, {"L Foot", 2},
                                         {"R Leg", 0}, {"R Leg1", 4}, {"R Foot", 5}};
    std::vector<POSE> sourceRest = {{0, 0, 20},  {0, 5, -1}, {0, 0, -6}, {0, 0, -3},
                                    {0, -5, -1}, {0, 0, -8}, {0, 0, -3}};

    auto measure = [&] {
        return MeasureLegsRatio(model, CBipedRig(model), modelRest, source, CBipedRig(source),
                                sourceRest);
    };
    LEGS_RATIO legs = measure();
    ASSERT_TRUE(legs.known);
    EXPECT_EQ(legs.model.left, 18.0);
    EXPECT_EQ(legs.model.right, 28.0);
    EXPECT_EQ(legs.ratio, 23.0 / 10.0);

    // One side alone when the other lacks its foot.
    source[6].name = "R Ankle";
    legs = measure();
    EXPECT_TRUE(legs.source.hasLeft);
    EXPECT_FALSE(legs.source.hasRight);
    EXPECT_EQ(legs.ratio, 23.0 / 9.0);

    // A foot that does not hang below the thigh is no leg; without a leg there is no ratio.
    source[3].parent = 0;
    legs = measure();
    EXPECT_FALSE(legs.source.Found());
    EXPECT_FALSE(legs.known);
}

}  // namespace varnex

namespace varnex {

// Both namings give one rig: legs (toe included), pelvis, a spine chain of the length the
// skeleton has, neck and head; a node of no class is on the side of its nearest classified
// ancestor.
//   0 Bip01 ─ 1 Pelvis ─ 2 Spine ─ 3 Spine1 ─ 4 Neck ─ 5 Head
//                      ├ 6 L Leg ─ 7 L Leg1 ─ 8 L Foot ─ 9 L Toe0
//                      └ 10 R Thigh ─ 11 R Calf ─ 12 R Foot ─ 13 Gun (no class)
TEST(BipedRig, FindsLegsSpineNeckAndHeadUnderEitherNaming) {
    std::vector<SKELETON_NODE> nodes = {
        {"Bip01", -1},        {"Bip01 Pelvis", 0}, {"Bip01 Spine", 1},   {"Bip01 Spine1", 2},
        {"Bip01 Neck", 3},    {"Bip01 Head", 4},   {"Bip01 L Leg", 1},   {"Bip01 L Leg1", 6},
        {"Bip01 L Foot", 7},  {"Bip01 L Toe0", 8}, {"Bip01 R Thigh", 1}, {"Bip01 R Calf", 10},
        {"Bip01 R Foot", 11}, {"Gun", 12}};
    CBipedRig rig(nodes);
    LEG_NODES left = rig.Leg(BODY_SIDE::LEFT);
    LEG_NODES right = rig.Leg(BODY_SIDE::RIGHT);
    EXPECT_EQ((std::vector<int>{left.thigh, left.calf, left.foot, left.toe}),
              (std::vector<int>{6, 7, 8, 9}));
    EXPECT_EQ((std::vector<int>{right.thigh, right.calf, right.foot, right.toe}),
              (std::vector<int>{10, 11, 12, -1}));
    EXPECT_EQ(rig.Pelvis(), 1);
    EXPECT_EQ(rig.SpineChain(), (std::vector<int>{2, 3}));
    EXPECT_EQ(rig.Neck(), 4);
    EXPECT_EQ(rig.Head(), 5);
    EXPECT_EQ(rig.ClassOf(0), BONE_NONE);  // the root
    std::vector<int> parents;
    for (const SKELETON_NODE& n : nodes) parents.push_back(n.parent);
    std::vector<BODY_SIDE> sides = rig.Sides(parents);
    EXPECT_EQ(sides[9], BODY_SIDE::LEFT);
    EXPECT_EQ(sides[13], BODY_SIDE::RIGHT);
    EXPECT_EQ(sides[5], BODY_SIDE::MIDDLE);
}

}  // namespace varnex
