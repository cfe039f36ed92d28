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

    LEGS_RATIO legs = MeasureLegsRatio(model, modelRest, source, sourceRest);
    ASSERT_TRUE(legs.known);
    EXPECT_EQ(legs.model.left, 18.0);
    EXPECT_EQ(legs.model.right, 28.0);
    EXPECT_EQ(legs.ratio, 23.0 / 10.0);

    // One side alone when the other lacks its foot.
    source[6].name = "R Ankle";
    legs = MeasureLegsRatio(model, modelRest, source, sourceRest);
    EXPECT_TRUE(legs.source.hasLeft);
    EXPECT_FALSE(legs.source.hasRight);
    EXPECT_EQ(legs.ratio, 23.0 / 9.0);

    // A foot that does not hang below the thigh is no leg; without a leg there is no ratio.
    source[3].parent = 0;
    legs = MeasureLegsRatio(model, modelRest, source, sourceRest);
    EXPECT_FALSE(legs.source.Found());
    EXPECT_FALSE(legs.known);
}

}  // namespace varnex
