// Where every joint of a skeleton stands in a frame, as the model compiler reads SMD frames.
#pragma once

#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#include "motion/motion_types.h"

namespace varnex {

// A rotation matrix, rows first.
struct MAT3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

// The compiler's Rz·Ry·Rx from the sines and cosines of the X, Y and Z angles.
inline MAT3 RotationFromSines(double sx, double cx, double sy, double cy, double sz, double cz) {
    MAT3 r;
    r.m[0][0] = cz * cy;
    r.m[1][0] = sz * cy;
    r.m[2][0] = -sy;
    r.m[0][1] = cz * sy * sx - sz * cx;
    r.m[1][1] = sz * sy * sx + cz * cx;
    r.m[2][1] = cy * sx;
    r.m[0][2] = cz * sy * cx + sz * sx;
    r.m[1][2] = sz * sy * cx - cz * sx;
    r.m[2][2] = cy * cx;
    return r;
}

// sin and cos of x within [-pi/4, pi/4], by the classic minimax polynomials (to within an ulp).
inline void KernelSinCos(double x, double& s, double& c) {
    const double z = x * x;
    const double rs =
        8.33333333332248946124e-03 +
        z * (-1.98412698298579493134e-04 +
             z * (2.75573137070700676789e-06 +
                  z * (-2.50507602534068634195e-08 + z * 1.58969099521155010221e-10)));
    s = x + z * x * (-1.66666666666666324348e-01 + z * rs);
    const double rc =
        z * (4.16666666666666019037e-02 +
             z * (-1.38888888888741095749e-03 +
                  z * (2.48015872894767294178e-05 +
                       z * (-2.75573143513906633035e-07 +
                            z * (2.08757232129817482790e-09 +
                                 z * -1.13596475577881948265e-11)))));
    const double half = 0.5 * z, w = 1.0 - half;
    c = w + (((1.0 - w) - half) + z * rc);
}

// sin and cos of an angle as the library gives them, to within an ulp, in one go, in plain double
// arithmetic: every frame needs three per node, and every machine computes the same.
inline void SinCos(double x, double& s, double& c) {
    // Within a quarter turn of 0 nothing is taken off: the kernel alone, as below with n = 0.
    if (std::fabs(x) <= 0.78539816339744830962) {
        KernelSinCos(x, s, c);
        return;
    }
    if (!(std::fabs(x) <= 64.0)) {
        s = std::sin(x);
        c = std::cos(x);
        return;
    }
    // x less the nearest multiple of pi/2, pi/2 split so that the first product is exact.
    constexpr double HALF_PI_HIGH = 1.57079632673412561417e+00;
    constexpr double HALF_PI_LOW = 6.07710050650619224932e-11;
    constexpr double TWO_OVER_PI = 6.36619772367581382433e-01;
    const double n = std::nearbyint(x * TWO_OVER_PI);
    double ks, kc;
    KernelSinCos((x - n * HALF_PI_HIGH) - n * HALF_PI_LOW, ks, kc);
    switch (static_cast<int>(n) & 3) {
        case 0: s = ks; c = kc; break;
        case 1: s = kc; c = -ks; break;
        case 2: s = -ks; c = -kc; break;
        default: s = -kc; c = ks; break;
    }
}

// The node's own rotation: Rz * Ry * Rx of its three angles (X applied first).
inline MAT3 RotationOf(const POSE& pose) {
    double sx, cx, sy, cy, sz, cz;
    SinCos(pose.rx, sx, cx);
    SinCos(pose.ry, sy, cy);
    SinCos(pose.rz, sz, cz);
    return RotationFromSines(sx, cx, sy, cy, sz, cz);
}

// Solves frames of one skeleton: a node's joint is its parent's joint plus its position turned by
// the parent's world rotation, and its world rotation is the parent's times its own. Z is up.
class CForwardKinematics {
public:
    // Works out once the order in which nodes are solved, parents first. A parent that is -1, out
    // of range, or closes a cycle of parents makes the node a root; nothing is refused.
    explicit CForwardKinematics(const std::vector<SKELETON_NODE>& nodes);

    std::size_t NodeCount() const { return m_parent.size(); }
    // The parent a node is solved against: -1 for a root, whatever its node line said.
    const std::vector<int>& Parents() const { return m_parent; }

    // The world position of every node's joint in the frame, into joints (resized to
    // NodeCount()). A node beyond the frame's lines takes the zero pose and so sits on its
    // parent's joint. Allocates nothing once joints has its size.
    void Solve(std::span<const POSE> frame, std::vector<VEC3>& joints);

    // The same in two steps, for callers that know some nodes' own rotations already (a retarget
    // copies rotations, so its frame shares them with the source's): every node's RotationOf into
    // rotations (resized to NodeCount()), then the joints from the frame's positions and those
    // rotations.
    void OwnRotations(std::span<const POSE> frame, std::vector<MAT3>& rotations) const;
    void Solve(std::span<const POSE> frame, std::span<const MAT3> rotations,
               std::vector<VEC3>& joints);
    // Every node's world rotation in the frame last solved.
    const std::vector<MAT3>& WorldRotations() const { return m_world; }

private:
    std::vector<int> m_parent;
    std::vector<int> m_order;   // every node once, each after its parent
    std::vector<MAT3> m_own;    // the frame's own rotations, reused
    std::vector<MAT3> m_world;  // world rotations of the frame being solved, reused
};

}  // namespace varnex
