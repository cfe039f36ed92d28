#include "motion/forward_kinematics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace varnex {

namespace {
constexpr double QUARTER = std::numbers::pi / 2;

void ExpectNear(const VEC3& got, double x, double y, double z) {
    EXPECT_NEAR(got.x, x, 1e-12);
    EXPECT_NEAR(got.y, y, 1e-12);
    EXPECT_NEAR(got.z, z, 1e-12);
}
}  // namespace

// root (0,0,10) turned a quarter about X then a quarter about Y
//  `- child (0,1,0) turned a quarter about Z
//      `- grandchild (1,0,0)
// X then Y sends the child's (0,1,0) along +X (Y then X would send it along +Z); the child's own
// turn comes before its parent's, which sends the grandchild along +X too.
TEST(ForwardKinematics, TurnsAboutXThenYThenZAndChildBeforeParent) {
    CForwardKinematics skeleton({{"root", -1}, {"child", 0}, {"grandchild", 1}});
    std::vector<POSE> frame = {
        {0, 0, 10, QUARTER, QUARTER, 0}, {0, 1, 0, 0, 0, QUARTER}, {1, 0, 0, 0, 0, 0}};
    std::vector<VEC3> joints;
    skeleton.Solve(frame, joints);
    ASSERT_EQ(joints.size(), 3u);
    ExpectNear(joints[0], 0, 0, 10);
    ExpectNear(joints[1], 1, 0, 10);
    ExpectNear(joints[2], 2, 0, 10);
}

// 0 root; 1 lists its parent 4 after it; 2 points at itself; 3 and 4 are each other's parent, and
// the climb from 1 breaks that cycle at 3; 5 names a node that does not exist.
TEST(ForwardKinematics, TakesBadParentsAsRootsAndChildrenBeforeParents) {
    CForwardKinematics skeleton(
        {{"root", -1}, {"early", 4}, {"self", 2}, {"a", 4}, {"b", 3}, {"far", 99}});
    const std::vector<int>& parents = skeleton.Parents();
    EXPECT_EQ(parents, (std::vector<int>{-1, 4, -1, -1, 3, -1}));
    std::vector<POSE> frame = {{0, 0, 1}, {0, 0, 2}, {0, 0, 3}, {0, 0, 4}, {0, 0, 5}};
    std::vector<VEC3> joints;
    skeleton.Solve(frame, joints);  // the frame lacks node 5: it sits at the origin
    ExpectNear(joints[1], 0, 0, 11);
    ExpectNear(joints[4], 0, 0, 9);
    ExpectNear(joints[5], 0, 0, 0);
}

}  // namespace varnex
