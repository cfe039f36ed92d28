// Rotations as the model compiler reads SMD angles, and back: the world method solves rotations
// as matrices and quaternions, and writes them as the angles an SMD line holds.
#pragma once

#include "motion/forward_kinematics.h"
#include "motion/motion_types.h"

namespace varnex {

// The three angles of a skeleton line, in radians: X applied first, then Y, then Z.
struct SMD_ANGLES {
    double x = 0.0, y = 0.0, z = 0.0;
};

// A unit quaternion, w first.
struct QUAT {
    double w = 1.0, x = 0.0, y = 0.0, z = 0.0;
};

// Inline: a frame of the world method makes a few hundred of these.
inline MAT3 Multiply(const MAT3& a, const MAT3& b) {
    MAT3 p;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            p.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        }
    }
    return p;
}

// a transposed times b: a's inverse when a is a rotation.
inline MAT3 MultiplyTransposed(const MAT3& a, const MAT3& b) {
    MAT3 p;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            p.m[i][j] = a.m[0][i] * b.m[0][j] + a.m[1][i] * b.m[1][j] + a.m[2][i] * b.m[2][j];
        }
    }
    return p;
}

inline VEC3 Turned(const MAT3& r, const VEC3& v) {
    const auto& m = r.m;
    return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
            m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
            m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

// r transposed (its inverse) applied to v.
inline VEC3 TurnedBack(const MAT3& r, const VEC3& v) {
    const auto& m = r.m;
    return {m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z,
            m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z,
            m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z};
}

// Rz * Ry * Rx of the angles, as RotationOf reads a line.
MAT3 RotationOfAngles(const SMD_ANGLES& a);

QUAT QuatOf(const MAT3& r);
MAT3 MatrixOf(const QUAT& q);
QUAT Multiply(const QUAT& a, const QUAT& b);
// The spherical interpolation from a (t = 0) to b (t = 1) along the shorter arc; t outside
// [0, 1] goes on along the same arc.
QUAT Slerp(const QUAT& a, const QUAT& b, double t);
// The smallest rotation that turns direction a onto direction b (neither of length 0); half a
// turn about an axis square to a when they point opposite ways.
QUAT SwingBetween(const VEC3& a, const VEC3& b);

// The angle in [-pi, pi) that equals a modulo a full turn, as the compiler wraps angles.
double WrapAngle(double a);

// The X, Y, Z angles whose Rz * Ry * Rx is r, of the two sets every rotation has the one nearest
// `reference` (angle by angle, modulo a full turn), each wrapped into [-pi, pi). At Y = +-pi/2
// only X - Z (or X + Z) counts: the pair nearest the reference's is taken.
SMD_ANGLES AnglesOf(const MAT3& r, const SMD_ANGLES& reference);

}  // namespace varnex
