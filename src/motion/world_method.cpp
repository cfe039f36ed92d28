#include "motion/world_method.h"

#include <algorithm>
#include <cmath>

namespace varnex {

namespace {
// The shortest chain a root follows: the check measures no shorter segment either.
constexpr double ROOT_CHAIN = 1.0;

VEC3 Minus(const VEC3& a, const VEC3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Length(const VEC3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
VEC3 Scaled(const VEC3& v, double s) { return {v.x * s, v.y * s, v.z * s}; }


// Every node once, each after its parent; parents as CForwardKinematics sanitized them.
std::vector<int> ParentsFirst(const std::vector<int>& parents) {
    std::vector<int> depth(parents.size(), 0);
    for (std::size_t n = 0; n < parents.size(); ++n) {
        for (int p = parents[n]; p >= 0; p = parents[static_cast<std::size_t>(p)]) ++depth[n];
    }
    std::vector<int> order(parents.size());
    for (std::size_t n = 0; n < order.size(); ++n) order[n] = static_cast<int>(n);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return depth[static_cast<std::size_t>(a)] < depth[static_cast<std::size_t>(b)];
    });
    return order;
}

// The eigenvector of the largest eigenvalue of a symmetric 4 x 4 matrix, by Jacobi rotations;
// where the two largest are one (a single direction leaves the turn about it free), the unit
// vector of their plane nearest (1, 0, 0, 0): the smallest rotation.
QUAT LargestEigenvector(double a[4][4], double scale) {
    double v[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        double off = 0.0;
        for (int p = 0; p < 4; ++p) {
            for (int q = p + 1; q < 4; ++q) off += a[p][q] * a[p][q];
        }
        // Off the diagonal below 1e-12 of the weights: the eigenvector is then good to about
        // that much against the gap, far finer than the six decimals written.
        if (off <= 1e-24 * scale * scale) break;
        for (int p = 0; p < 4; ++p) {
            for (int q = p + 1; q < 4; ++q) {
                if (a[p][q] == 0.0) continue;
                double theta = (a[q][q] - a[p][p]) / (2.0 * a[p][q]);
                double t = (theta >= 0.0 ? 1.0 : -1.0) /
                           (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                double c = 1.0 / std::sqrt(t * t + 1.0);
                double s = t * c;
                for (int k = 0; k < 4; ++k) {
                    double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 4; ++k) {
                    double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 4; ++k) {
                    double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
        }
    }
    int first = 0;
    for (int i = 1; i < 4; ++i) {
        if (a[i][i] > a[first][first]) first = i;
    }
    int second = first == 0 ? 1 : 0;
    for (int i = 0; i < 4; ++i) {
        if (i != first && a[i][i] > a[second][second]) second = i;
    }
    double q[4] = {v[0][first], v[1][first], v[2][first], v[3][first]};
    if (a[first][first] - a[second][second] <= 1e-9 * scale) {
        double k1 = v[0][first], k2 = v[0][second];
        double p[4];
        double n = 0.0;
        for (int i = 0; i < 4; ++i) {
            p[i] = k1 * v[i][first] + k2 * v[i][second];
            n += p[i] * p[i];
        }
        if (n > 1e-24) {
            n = std::sqrt(n);
            for (int i = 0; i < 4; ++i) q[i] = p[i] / n;
        }
    }
    if (q[0] < 0.0) {
        for (double& c : q) c = -c;
    }
    return {q[0], q[1], q[2], q[3]};
}

double Det3(double a, double b, double c, double d, double e, double f, double g, double h,
            double i) {
    return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
}

// The same eigenvector for the usual matrix, whose largest eigenvalue stands well apart: that
// eigenvalue by Newton's method on the characteristic polynomial from above (the weights' sum
// bounds every eigenvalue), then the vector from the cofactors of n less it. False, with q
// untouched, where the eigenvalue comes near another: the rotations above settle those.
bool LargestEigenvectorApart(const double n[4][4], double scale, QUAT& q) {
    // n is traceless: its polynomial is l^4 - tr(n^2)/2 l^2 - tr(n^3)/3 l + det n.
    double n2[4][4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            n2[i][j] = n[i][0] * n[0][j] + n[i][1] * n[1][j] + n[i][2] * n[2][j] +
                       n[i][3] * n[3][j];
        }
    }
    double p2 = n2[0][0] + n2[1][1] + n2[2][2] + n2[3][3];
    double p3 = 0.0;
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 4; ++k) p3 += n2[i][k] * n[k][i];
    }
    double det = n[0][0] * Det3(n[1][1], n[1][2], n[1][3], n[2][1], n[2][2], n[2][3], n[3][1],
                                n[3][2], n[3][3]) -
                 n[0][1] * Det3(n[1][0], n[1][2], n[1][3], n[2][0], n[2][2], n[2][3], n[3][0],
                                n[3][2], n[3][3]) +
                 n[0][2] * Det3(n[1][0], n[1][1], n[1][3], n[2][0], n[2][1], n[2][3], n[3][0],
                                n[3][1], n[3][3]) -
                 n[0][3] * Det3(n[1][0], n[1][1], n[1][2], n[2][0], n[2][1], n[2][2], n[3][0],
                                n[3][1], n[3][2]);
    double c2 = -0.5 * p2, c1 = -p3 / 3.0;
    double lambda = scale;
    bool settled = false;
    for (int step = 0; step < 40 && !settled; ++step) {
        double l2 = lambda * lambda;
        double value = (l2 + c2) * l2 + c1 * lambda + det;
        double slope = (4.0 * l2 + 2.0 * c2) * lambda + c1;
        if (!(slope > 0.0)) return false;
        double move = value / slope;
        lambda -= move;
        settled = std::fabs(move) <= 1e-14 * scale;
    }
    // Slow to settle: the largest eigenvalue is a near double one.
    if (!settled) return false;
    double m[4][4];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m[i][j] = i == j ? n[i][j] - lambda : n[i][j];
    }
    // Row i of the cofactors is the eigenvector times its part i, which the diagonal cofactor
    // (that part squared, times the same factor) tells: the row of the largest is taken.
    static constexpr int OTHER[4][3] = {{1, 2, 3}, {0, 2, 3}, {0, 1, 3}, {0, 1, 2}};
    auto cofactor = [&m](int i, int j) {
        const int* r = OTHER[i];
        const int* c = OTHER[j];
        double minor = Det3(m[r[0]][c[0]], m[r[0]][c[1]], m[r[0]][c[2]], m[r[1]][c[0]],
                            m[r[1]][c[1]], m[r[1]][c[2]], m[r[2]][c[0]], m[r[2]][c[1]],
                            m[r[2]][c[2]]);
        return (i + j) % 2 == 0 ? minor : -minor;
    };
    int row = 0;
    double diagonal[4];
    for (int i = 0; i < 4; ++i) {
        diagonal[i] = cofactor(i, i);
        if (std::fabs(diagonal[i]) > std::fabs(diagonal[row])) row = i;
    }
    double best[4];
    for (int j = 0; j < 4; ++j) best[j] = j == row ? diagonal[row] : cofactor(row, j);
    double bestNorm = best[0] * best[0] + best[1] * best[1] + best[2] * best[2] + best[3] * best[3];
    // The longest row is at least half the product of the gaps to the other eigenvalues: below
    // this the largest is too near the next for its vector to be told from the cofactors.
    double least = 1e-4 * scale * scale * scale;
    if (!(bestNorm > least * least)) return false;
    double length = std::sqrt(bestNorm);
    if (best[0] < 0.0) length = -length;
    q = {best[0] / length, best[1] / length, best[2] / length, best[3] / length};
    return true;
}

// The smallest rotation that turns unit direction a onto unit direction b, as a matrix straight
// from their cross and dot products (Rodrigues); SwingBetween's quaternion where they point
// nearly opposite ways.
MAT3 SwingMatrix(const VEC3& a, const VEC3& b) {
    const double c = a.x * b.x + a.y * b.y + a.z * b.z;
    if (!(1.0 + c > 1e-12)) return MatrixOf(SwingBetween(a, b));
    const VEC3 v{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const double k = 1.0 / (1.0 + c);
    const double kx = k * v.x, ky = k * v.y, kz = k * v.z;
    MAT3 r;
    r.m[0][0] = c + kx * v.x;
    r.m[0][1] = kx * v.y - v.z;
    r.m[0][2] = kx * v.z + v.y;
    r.m[1][0] = kx * v.y + v.z;
    r.m[1][1] = c + ky * v.y;
    r.m[1][2] = ky * v.z - v.x;
    r.m[2][0] = kx * v.z - v.y;
    r.m[2][1] = ky * v.z + v.x;
    r.m[2][2] = c + kz * v.z;
    return r;
}

// The rotation that best turns the unit directions from[k] onto to[k], weighed by weight[k]
// (Horn's quaternion solution).
QUAT BestFit(std::span<const VEC3> from, std::span<const VEC3> to, std::span<const double> weight) {
    double s[3][3] = {};
    double total = 0.0;
    for (std::size_t k = 0; k < from.size(); ++k) {
        const double a[3] = {from[k].x, from[k].y, from[k].z};
        const double b[3] = {to[k].x, to[k].y, to[k].z};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) s[i][j] += weight[k] * a[i] * b[j];
        }
        total += weight[k];
    }
    double n[4][4] = {
        {s[0][0] + s[1][1] + s[2][2], s[1][2] - s[2][1], s[2][0] - s[0][2], s[0][1] - s[1][0]},
        {s[1][2] - s[2][1], s[0][0] - s[1][1] - s[2][2], s[0][1] + s[1][0], s[2][0] + s[0][2]},
        {s[2][0] - s[0][2], s[0][1] + s[1][0], -s[0][0] + s[1][1] - s[2][2], s[1][2] + s[2][1]},
        {s[0][1] - s[1][0], s[2][0] + s[0][2], s[1][2] + s[2][1], -s[0][0] - s[1][1] + s[2][2]},
    };
    QUAT q;
    if (LargestEigenvectorApart(n, total, q)) return q;
    return LargestEigenvector(n, total);
}
}  // namespace

bool WorldRootRule(const LEGS_RATIO& legs, std::span<const POSE> sourceRest,
                   std::span<const POSE> modelRest, const RETARGET_ROW& rowZero,
                   ROOT_FROM_LEGS& rule) {
    double ratio = legs.known ? legs.ratio : rowZero.boneScale;
    return MakeRootFromLegs(ratio, sourceRest, modelRest, rowZero.nodes, rule);
}

CWorldRetarget::CWorldRetarget(const std::vector<SKELETON_NODE>& modelNodes,
                               std::span<const POSE> modelRest,
                               const std::vector<SKELETON_NODE>& sourceNodes,
                               std::span<const POSE> sourceRest, std::span<const DECODED_ROW> rows,
                               const ROOT_FROM_LEGS& root)
    : m_sourceRest(sourceRest.begin(), sourceRest.end()), m_root(root) {
    const std::vector<int> parents = CForwardKinematics(modelNodes).Parents();
    m_order = ParentsFirst(parents);
    m_plans.resize(modelNodes.size());
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        PLAN& plan = m_plans[row];
        const int r = static_cast<int>(row);
        plan.parent = parents[row];
        plan.rule = MakeRowRule(RowAt(rows, row), &m_root);
        if (plan.rule.source != REST_LINE) {
            m_linesRead = std::max(m_linesRead, plan.rule.source + 1);
        }
        if (row >= modelRest.size()) ThrowNoRestLine(r, modelRest.size());
        plan.rest = modelRest[row];
        plan.rule.rest = {plan.rest.x, plan.rest.y, plan.rest.z};
        if (!IsFinitePose(plan.rest)) ThrowNotFinite(r, r, plan.rest);
        plan.restMatrix = RotationOf(plan.rest);
        plan.restRotation = QuatOf(plan.restMatrix);
    }

    // The source's skeleton, with room for lines the rows read beyond its node list.
    m_sourceParent = CForwardKinematics(sourceNodes).Parents();
    if (m_sourceParent.size() < static_cast<std::size_t>(m_linesRead)) {
        m_sourceParent.resize(static_cast<std::size_t>(m_linesRead), -1);
    }
    m_sourceOrder = ParentsFirst(m_sourceParent);

    // The model at rest, in its own axes: each paired row's chains to its nearest paired
    // descendants.
    std::vector<MAT3> world(m_plans.size());
    std::vector<VEC3> joint(m_plans.size());
    std::vector<std::vector<int>> children(m_plans.size());
    for (int row : m_order) {
        PLAN& plan = m_plans[static_cast<std::size_t>(row)];
        VEC3 offset{plan.rest.x, plan.rest.y, plan.rest.z};
        if (plan.parent < 0) {
            world[row] = plan.restMatrix;
            joint[row] = offset;
            continue;
        }
        const MAT3& w = world[static_cast<std::size_t>(plan.parent)];
        VEC3 turned = Turned(w, offset);
        const VEC3& base = joint[static_cast<std::size_t>(plan.parent)];
        joint[row] = {base.x + turned.x, base.y + turned.y, base.z + turned.z};
        world[row] = Multiply(w, plan.restMatrix);
        children[static_cast<std::size_t>(plan.parent)].push_back(row);
    }
    for (std::size_t a = 0; a < m_plans.size(); ++a) {
        m_plans[a].hasChildren = !children[a].empty();
    }
    // The source at rest, for the root's chains.
    WORLD_WORK sourceAtRest;
    SolveSource(m_sourceRest, sourceAtRest);
    for (std::size_t a = 0; a < m_plans.size(); ++a) {
        PLAN& plan = m_plans[a];
        if (plan.rule.source == REST_LINE) continue;
        const bool isRoot = plan.parent < 0;
        std::vector<int> below(children[a].rbegin(), children[a].rend());
        while (!below.empty()) {
            int c = below.back();
            below.pop_back();
            const PLAN& descendant = m_plans[static_cast<std::size_t>(c)];
            if (descendant.rule.source == REST_LINE) {
                const auto& more = children[static_cast<std::size_t>(c)];
                below.insert(below.end(), more.rbegin(), more.rend());
                continue;
            }
            VEC3 rest = TurnedBack(world[a], Minus(joint[static_cast<std::size_t>(c)], joint[a]));
            double length = Length(rest);
            // Two rows on one source node, or a joint on its parent's, give no direction.
            if (descendant.rule.source == plan.rule.source || length < SHORTEST_SEGMENT) continue;
            // A root's axes are the exporter's choice, so its partner's rotation can turn the
            // whole body aside; it follows its chains instead where both skeletons hold them
            // long enough to give a direction (a pelvis a hundredth of a unit off the root
            // does not).
            if (isRoot && (length < ROOT_CHAIN ||
                         !(Length(Minus(sourceAtRest.sourceJoint[static_cast<std::size_t>(
                                            descendant.rule.source)],
                                        sourceAtRest.sourceJoint[static_cast<std::size_t>(
                                            plan.rule.source)])) >= ROOT_CHAIN))) {
                continue;
            }
            plan.chains.push_back(CHAIN{descendant.rule.source, Scaled(rest, 1.0 / length), length});
        }
    }

    // Only the source lines the rows read, and their parents, need solving.
    std::vector<char> needed(m_sourceParent.size(), 0);
    for (const PLAN& plan : m_plans) {
        for (int n = plan.rule.source; n >= 0 && !needed[static_cast<std::size_t>(n)];
             n = m_sourceParent[static_cast<std::size_t>(n)]) {
            needed[static_cast<std::size_t>(n)] = 1;
        }
    }
    std::erase_if(m_sourceOrder, [&](int n) { return !needed[static_cast<std::size_t>(n)]; });
}

void CWorldRetarget::SolveSource(std::span<const POSE> source, WORLD_WORK& work) const {
    const std::size_t count = m_sourceParent.size();
    work.sourceWorld.resize(count);
    work.sourceJoint.resize(count);
    static const POSE ZERO_POSE;
    for (int node : m_sourceOrder) {
        const std::size_t n = static_cast<std::size_t>(node);
        // A line the frame lacks stands as in the reference animation's first frame.
        const POSE& pose = n < source.size()         ? source[n]
                           : n < m_sourceRest.size() ? m_sourceRest[n]
                                                     : ZERO_POSE;
        MAT3 own = RotationOf(pose);
        VEC3 offset{pose.x, pose.y, pose.z};
        int parent = m_sourceParent[n];
        if (parent < 0) {
            work.sourceWorld[n] = own;
            work.sourceJoint[n] = offset;
            continue;
        }
        const MAT3& w = work.sourceWorld[static_cast<std::size_t>(parent)];
        VEC3 turned = Turned(w, offset);
        const VEC3& base = work.sourceJoint[static_cast<std::size_t>(parent)];
        work.sourceJoint[n] = {base.x + turned.x, base.y + turned.y, base.z + turned.z};
        work.sourceWorld[n] = Multiply(w, own);
    }
}

MAT3 CWorldRetarget::TargetRotation(const PLAN& plan, const WORLD_WORK& work) const {
    const std::size_t partner = static_cast<std::size_t>(plan.rule.source);
    CHAIN_ENDS room;
    const std::span<VEC3> ends = room.For(plan);
    for (std::size_t k = 0; k < ends.size(); ++k) {
        ends[k] = work.sourceJoint[static_cast<std::size_t>(plan.chains[k].partner)];
    }
    return TargetRotation(plan, work.sourceWorld[partner], work.sourceJoint[partner], ends);
}

MAT3 CWorldRetarget::TargetRotation(const PLAN& plan, const MAT3& partnerWorld,
                                    const VEC3& partnerJoint, std::span<const VEC3> chainEnds) {
    if (chainEnds.empty()) return partnerWorld;
    if (chainEnds.size() == 1) {
        // One chain, the usual case: the swing alone.
        VEC3 u = Minus(chainEnds[0], partnerJoint);
        double length = Length(u);
        if (!(length >= SHORTEST_SEGMENT)) return partnerWorld;
        return Multiply(SwingMatrix(Turned(partnerWorld, plan.chains[0].rest), Scaled(u, 1.0 / length)),
                        partnerWorld);
    }
    VEC3 from[MOST_CHAINS], to[MOST_CHAINS];
    double weight[MOST_CHAINS];
    std::size_t used = 0;
    for (std::size_t k = 0; k < chainEnds.size() && used < MOST_CHAINS; ++k) {
        const CHAIN& chain = plan.chains[k];
        VEC3 u = Minus(chainEnds[k], partnerJoint);
        double length = Length(u);
        if (!(length >= SHORTEST_SEGMENT)) continue;
        // The rest direction as the partner's world rotation turns it, and where it must point.
        from[used] = Turned(partnerWorld, chain.rest);
        to[used] = Scaled(u, 1.0 / length);
        weight[used] = chain.weight;
        ++used;
    }
    if (used == 0) return partnerWorld;
    QUAT turn = used == 1
                    ? SwingBetween(from[0], to[0])
                    : BestFit(std::span(from, used), std::span(to, used), std::span(weight, used));
    return Multiply(MatrixOf(turn), partnerWorld);
}

void CWorldRetarget::Apply(std::span<const POSE> source, std::vector<POSE>& result,
                           WORLD_WORK& work) const {
    result.resize(m_plans.size());
    // The first row whose line the frame lacks is named; a frame with them all, the usual one,
    // is known at once.
    for (std::size_t row = 0; source.size() < static_cast<std::size_t>(m_linesRead) &&
                              row < m_plans.size();
         ++row) {
        const PLAN& plan = m_plans[row];
        if (plan.rule.source != REST_LINE &&
            static_cast<std::size_t>(plan.rule.source) >= source.size()) {
            ThrowFrameTooShort(static_cast<int>(row), plan.rule.nodes, plan.rule.source, source.size());
        }
    }
    SolveSource(source, work);
    work.modelWorld.resize(m_plans.size());
    static const MAT3 IDENTITY;
    for (int row : m_order) {
        const std::size_t r = static_cast<std::size_t>(row);
        const PLAN& plan = m_plans[r];
        const MAT3& parentWorld =
            plan.parent < 0 ? IDENTITY : work.modelWorld[static_cast<std::size_t>(plan.parent)];
        if (plan.rule.source == REST_LINE) {
            result[r] = plan.rest;
            if (plan.hasChildren) work.modelWorld[r] = Multiply(parentWorld, plan.restMatrix);
            continue;
        }
        const MAT3 target = TargetRotation(plan, work);
        MAT3 local = MultiplyTransposed(parentWorld, target);
        double solvedWeight = plan.rule.blend ? 1.0 - plan.rule.correction : plan.rule.correction;
        if (solvedWeight != 1.0) {
            local = MatrixOf(Slerp(plan.restRotation, QuatOf(local), solvedWeight));
            if (plan.hasChildren) work.modelWorld[r] = Multiply(parentWorld, local);
        } else if (plan.hasChildren) {
            work.modelWorld[r] = target;
        }
        const POSE& from = source[static_cast<std::size_t>(plan.rule.source)];
        SMD_ANGLES angles = AnglesOf(local, SMD_ANGLES{from.rx, from.ry, from.rz});
        POSE& out = result[r];
        out = {plan.rest.x, plan.rest.y, plan.rest.z, angles.x, angles.y, angles.z};
        if (row == 0) {
            VEC3 p = CorrectedPosition(plan.rule, from.x, from.y, from.z);
            out.x = p.x;
            out.y = p.y;
            out.z = p.z;
        }
    }
    for (std::size_t row = 0; row < m_plans.size(); ++row) {
        const PLAN& plan = m_plans[row];
        if (!IsFinitePose(result[row])) {
            ThrowNotFinite(static_cast<int>(row), plan.rule.source,
                           plan.rule.source == REST_LINE
                               ? plan.rest
                               : source[static_cast<std::size_t>(plan.rule.source)]);
        }
    }
}


}  // namespace varnex
