#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "motion/smd_angles.h"

namespace varnex {

namespace {
constexpr double PI = std::numbers::pi;

double Gap(const MAT3& a, const MAT3& b) {
    double worst = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) worst = std::max(worst, std::fabs(a.m[i][j] - b.m[i][j]));
    }
    return worst;
}

MAT3 RandomRotation(std::mt19937_64& random) {
    std::normal_distribution<double> normal;
    QUAT q{normal(random), normal(random), normal(random), normal(random)};
    double n = std::sqrt(q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z);
    return MatrixOf({q.w / n, q.x / n, q.y / n, q.z / n});
}

bool Wrapped(const SMD_ANGLES& a) {
    for (double v : {a.x, a.y, a.z}) {
        if (!(v >= -PI && v < PI)) return false;
    }
    return true;
}
}  // namespace

// Any rotation, whatever the reference, comes back from its angles; angles come back as
// themselves from their own rotation, or as the other set when that one is the reference, and
// the quaternion route agrees with the matrices.
TEST(WorldAngles, RoundTripsOverRandomRotations) {
    std::mt19937_64 random(19);
    std::uniform_real_distribution<double> angle(-PI, PI);
    double worstRotation = 0.0, worstAngles = 0.0, worstQuat = 0.0;
    for (int i = 0; i < 20000; ++i) {
        MAT3 r = RandomRotation(random);
        SMD_ANGLES reference{4 * angle(random), 4 * angle(random), 4 * angle(random)};
        SMD_ANGLES a = AnglesOf(r, reference);
        ASSERT_TRUE(Wrapped(a));
        worstRotation = std::max(worstRotation, Gap(RotationOfAngles(a), r));
        worstQuat = std::max(worstQuat, Gap(MatrixOf(QuatOf(r)), r));

        SMD_ANGLES own{angle(random), 0.49 * angle(random), angle(random)};
        MAT3 ownRotation = RotationOfAngles(own);
        SMD_ANGLES back = AnglesOf(ownRotation, {own.x + 2 * PI, own.y - 4 * PI, own.z});
        SMD_ANGLES other{own.x + PI, PI - own.y, own.z + PI};
        SMD_ANGLES otherBack = AnglesOf(ownRotation, other);
        for (auto [got, want] : {std::pair{back.x, own.x},
                                 {back.y, own.y},
                                 {back.z, own.z},
                                 {otherBack.x, WrapAngle(other.x)},
                                 {otherBack.y, WrapAngle(other.y)},
                                 {otherBack.z, WrapAngle(other.z)}}) {
            worstAngles = std::max(worstAngles, std::fabs(WrapAngle(got - want)));
        }
    }
    EXPECT_LT(worstRotation, 1e-9);
    EXPECT_LT(worstAngles, 1e-13);
    EXPECT_LT(worstQuat, 1e-9);
}

// At Y = +-pi/2 only X - Z (X + Z) is known: the rotation still comes back, and X and Z split
// what the reference lacks equally; near it, the rotation comes back too.
TEST(WorldAngles, GimbalCasesComeBackNearTheReference) {
    for (double y : {PI / 2, -PI / 2}) {
        SMD_ANGLES set{0.7, y, -0.4};
        MAT3 r = RotationOfAngles(set);
        // A reference 0.3 off on X and 0.1 on Z: at +pi/2 (X - Z kept) both move by 0.2, at
        // -pi/2 (X + Z kept) X by 0.1 and Z by -0.1, each then 0.2 from the reference.
        SMD_ANGLES a = AnglesOf(r, {1.0, 0.0, -0.3});
        EXPECT_LT(Gap(RotationOfAngles(a), r), 1e-9) << y;
        EXPECT_NEAR(a.y, y, 1e-7) << y;
        if (y > 0) {
            EXPECT_NEAR(a.x, 0.9, 1e-9);
            EXPECT_NEAR(a.z, -0.2, 1e-9);
        } else {
            EXPECT_NEAR(a.x, 0.8, 1e-9);
            EXPECT_NEAR(a.z, -0.5, 1e-9);
        }
        for (double near : {1e-13, 1e-11, 1e-9, 1e-7, 1e-5}) {
            MAT3 tilted = RotationOfAngles({2.9, y - near, -3.1});
            SMD_ANGLES b = AnglesOf(tilted, {-3.0, 0.0, 3.0});
            EXPECT_LT(Gap(RotationOfAngles(b), tilted), 1e-9) << y << " " << near;
            EXPECT_TRUE(Wrapped(b));
        }
    }
}

// Half-way between two rotations is half the turn, and the smallest turn takes a direction onto
// another, opposite ones included.
TEST(WorldAngles, SlerpAndSwing) {
    QUAT rest = QuatOf(RotationOfAngles({0.0, 0.0, 0.2}));
    QUAT solved = QuatOf(RotationOfAngles({0.0, 0.0, 1.0}));
    SMD_ANGLES half = AnglesOf(MatrixOf(Slerp(rest, solved, 0.5)), {});
    EXPECT_NEAR(half.z, 0.6, 1e-12);
    SMD_ANGLES beyond = AnglesOf(MatrixOf(Slerp(rest, solved, 1.5)), {});
    EXPECT_NEAR(beyond.z, 1.4, 1e-12);
    for (VEC3 to : {VEC3{0, 0, 5}, VEC3{-1, 0, 0}, VEC3{-1, 1e-9, 0}}) {
        MAT3 turn = MatrixOf(SwingBetween({2, 0, 0}, to));
        VEC3 got = Turned(turn, {1, 0, 0});
        double n = std::sqrt(to.x * to.x + to.y * to.y + to.z * to.z);
        EXPECT_NEAR(got.x, to.x / n, 1e-9);
        EXPECT_NEAR(got.y, to.y / n, 1e-9);
        EXPECT_NEAR(got.z, to.z / n, 1e-9);
    }
    // The smallest turn leaves the axis square to both directions where it was.
    VEC3 side = Turned(MatrixOf(SwingBetween({1, 0, 0}, {0, 0, 1})), {0, 1, 0});
    EXPECT_NEAR(side.y, 1.0, 1e-12);
}

}  // namespace varnex
