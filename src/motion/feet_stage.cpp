#include "motion/feet_stage.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "motion/smd_angles.h"

namespace varnex {

namespace {
VEC3 Plus(const VEC3& a, const VEC3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
VEC3 Minus(const VEC3& a, const VEC3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
VEC3 Times(double s, const VEC3& v) { return {s * v.x, s * v.y, s * v.z}; }
double Dot(const VEC3& a, const VEC3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(const VEC3& v) { return std::sqrt(Dot(v, v)); }
// v less its part along the unit direction u.
VEC3 Across(const VEC3& v, const VEC3& u) { return Minus(v, Times(Dot(v, u), u)); }

// 0 to 1 and back without a jump in speed.
double Smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// The weight of a lowering n frames away: 1 on its own frame, 0 past PELVIS_EASE_FRAMES.
double Ease(int n) {
    return 0.5 * (1.0 + std::cos(std::numbers::pi * n / (PELVIS_EASE_FRAMES + 1)));
}

void SetRotation(POSE& pose, const MAT3& local) {
    SMD_ANGLES a = AnglesOf(local, SMD_ANGLES{pose.rx, pose.ry, pose.rz});
    pose.rx = a.x;
    pose.ry = a.y;
    pose.rz = a.z;
}
}  // namespace

CNodeChains::CNodeChains(const std::vector<int>& parents, const std::vector<int>& nodes)
    : m_parent(parents), m_joints(parents.size()), m_world(parents.size()) {
    std::vector<int> depth(parents.size(), -1);
    for (int node : nodes) {
        if (node < 0 || static_cast<std::size_t>(node) >= parents.size()) continue;
        std::vector<int> chain;
        for (int n = node; n >= 0 && depth[static_cast<std::size_t>(n)] < 0;
             n = parents[static_cast<std::size_t>(n)]) {
            chain.push_back(n);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            int parent = parents[static_cast<std::size_t>(*it)];
            depth[static_cast<std::size_t>(*it)] =
                parent < 0 ? 0 : depth[static_cast<std::size_t>(parent)] + 1;
            m_order.push_back(*it);
        }
    }
    std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
        return depth[static_cast<std::size_t>(a)] < depth[static_cast<std::size_t>(b)];
    });
}

void CNodeChains::Solve(std::span<const POSE> frame) {
    static const POSE ZERO_POSE;
    for (int node : m_order) {
        const auto n = static_cast<std::size_t>(node);
        const POSE& pose = n < frame.size() ? frame[n] : ZERO_POSE;
        const MAT3 own = RotationOf(pose);
        int parent = m_parent[n];
        if (parent < 0) {
            m_joints[n] = {pose.x, pose.y, pose.z};
            m_world[n] = own;
            continue;
        }
        const MAT3& w = m_world[static_cast<std::size_t>(parent)];
        const VEC3& base = m_joints[static_cast<std::size_t>(parent)];
        m_joints[n] = {base.x + w.m[0][0] * pose.x + w.m[0][1] * pose.y + w.m[0][2] * pose.z,
                       base.y + w.m[1][0] * pose.x + w.m[1][1] * pose.y + w.m[1][2] * pose.z,
                       base.z + w.m[2][0] * pose.x + w.m[2][1] * pose.y + w.m[2][2] * pose.z};
        m_world[n] = Multiply(w, own);
    }
}

CSourceFeet::CSourceFeet(const std::vector<SKELETON_NODE>& sourceNodes,
                         const CBipedRig& sourceRig) {
    m_foot[0] = sourceRig.Leg(BODY_SIDE::LEFT).foot;
    m_foot[1] = sourceRig.Leg(BODY_SIDE::RIGHT).foot;
    const std::vector<int> parents = CForwardKinematics(sourceNodes).Parents();
    std::vector<char> read(parents.size(), 0);
    for (int foot : m_foot) {
        for (int n = foot; n >= 0 && !read[static_cast<std::size_t>(n)];
             n = parents[static_cast<std::size_t>(n)]) {
            read[static_cast<std::size_t>(n)] = 1;
            m_read.push_back(n);
        }
    }
    m_chains = std::make_unique<CNodeChains>(parents, std::vector<int>{m_foot[0], m_foot[1]});
}

void CSourceFeet::Add(std::span<const POSE> frame) {
    m_chains->Solve(frame);
    for (int s = 0; s < 2; ++s) {
        if (m_foot[s] >= 0) m_feet.feet[s].push_back(m_chains->Joint(m_foot[s]));
    }
}

CFeetStage::CFeetStage(const std::vector<SKELETON_NODE>& modelNodes, const CBipedRig& modelRig,
                       std::span<const POSE> modelRest,
                       const std::vector<SKELETON_NODE>& sourceNodes, const CBipedRig& sourceRig,
                       const ROOT_FROM_LEGS& root, const FEET_SOURCE& source)
    : m_ratio(root.legsRatio) {
    CForwardKinematics modelSkeleton(modelNodes);
    m_modelParents = modelSkeleton.Parents();
    m_modelCount = modelNodes.size();
    for (int s = 0; s < 2; ++s) {
        BODY_SIDE side = s == 0 ? BODY_SIDE::LEFT : BODY_SIDE::RIGHT;
        LEG_NODES m = modelRig.Leg(side), r = sourceRig.Leg(side);
        m_sides[s].model = {m.thigh, m.calf, m.foot};
        m_sides[s].source = {r.thigh, r.calf, r.foot};
    }
    m_modelPelvis = std::max(0, modelRig.Pelvis());
    m_sourcePelvis = std::max(0, sourceRig.Pelvis());
    m_rootFree = !m_modelParents.empty() && m_modelParents[0] < 0;

    std::vector<int> modelWanted = {m_modelPelvis}, sourceWanted = {m_sourcePelvis};
    for (const SIDE& side : m_sides) {
        for (int n : {side.model.thigh, side.model.calf, side.model.foot}) modelWanted.push_back(n);
        for (int n : {side.source.thigh, side.source.calf, side.source.foot})
            sourceWanted.push_back(n);
    }
    m_model = std::make_unique<CNodeChains>(m_modelParents, modelWanted);
    m_source =
        std::make_unique<CNodeChains>(CForwardKinematics(sourceNodes).Parents(), sourceWanted);
    std::vector<VEC3> rest;
    modelSkeleton.Solve(modelRest, rest);
    bool modelHasFoot = false;
    for (const SIDE& s : m_sides) {
        if (s.model.foot < 0) continue;
        double z = rest[static_cast<std::size_t>(s.model.foot)].z;
        m_modelGround = modelHasFoot ? std::min(m_modelGround, z) : z;
        modelHasFoot = true;
    }
    m_contacts = FindSourceContacts(source.feet[0], source.feet[1]);
    if (!modelHasFoot) m_contacts.ground.reset();
    if (!m_contacts.ground) return;

    const std::size_t frames = std::max(source.feet[0].size(), source.feet[1].size());
    for (SIDE& s : m_sides) s.contactOf.assign(frames, -1);
    for (std::size_t c = 0; c < m_contacts.contacts.size(); ++c) {
        const FOOT_CONTACT& contact = m_contacts.contacts[c];
        std::vector<int>& of = m_sides[contact.side == FOOT_SIDE::LEFT ? 0 : 1].contactOf;
        std::fill(of.begin() + contact.first, of.begin() + contact.last + 1, static_cast<int>(c));
    }
    // A source foot that drifts while planted carries its body along: the result's root is
    // shifted back by that drift, scaled, so that its travel is what the held foot allows.
    m_strideX.assign(frames, 0.0);
    m_strideY.assign(frames, 0.0);
    for (std::size_t i = 1; i < frames; ++i) {
        double dx = 0.0, dy = 0.0;
        int planted = 0;
        for (int s = 0; s < 2; ++s) {
            const std::vector<int>& of = m_sides[s].contactOf;
            if (of[i] < 0 || of[i] != of[i - 1]) continue;
            dx += source.feet[s][i].x - source.feet[s][i - 1].x;
            dy += source.feet[s][i].y - source.feet[s][i - 1].y;
            ++planted;
        }
        m_strideX[i] = m_strideX[i - 1];
        m_strideY[i] = m_strideY[i - 1];
        if (planted > 0) {
            m_strideX[i] -= m_ratio * (dx / planted);
            m_strideY[i] -= m_ratio * (dy / planted);
        }
    }
    // Each contact's place: the source foot's where it lands, scaled by the legs' ratio about the
    // source root's rest point and placed from the model root's.
    for (const FOOT_CONTACT& c : m_contacts.contacts) {
        const VEC3& f =
            source.feet[c.side == FOOT_SIDE::LEFT ? 0 : 1][static_cast<std::size_t>(c.first)];
        const auto first = static_cast<std::size_t>(c.first);
        m_anchor.push_back(
            {RootCoordinateFromLegs(f.x, root.sourceRest.x, root.modelRest.x, m_ratio) +
                 m_strideX[first],
             RootCoordinateFromLegs(f.y, root.sourceRest.y, root.modelRest.y, m_ratio) +
                 m_strideY[first],
             0.0});
    }
}

double CFeetStage::Weight(int side, int i) const {
    const std::vector<int>& of = m_sides[side].contactOf;
    const int frames = static_cast<int>(of.size());
    if (i < 0 || i >= frames) return 0.0;
    if (of[static_cast<std::size_t>(i)] >= 0) return 1.0;
    double w = 0.0;
    for (int n = 1; n <= FEET_BLEND_FRAMES; ++n) {
        double t = Smooth(static_cast<double>(FEET_BLEND_FRAMES + 1 - n) / (FEET_BLEND_FRAMES + 1));
        for (int j : {i - n, i + n}) {
            if (j >= 0 && j < frames && of[static_cast<std::size_t>(j)] >= 0) w = std::max(w, t);
        }
    }
    return w;
}

void CFeetStage::Push(FEET_FRAME& frame) {
    m_window.emplace_back();
    HELD& held = m_window.back();
    std::swap(held.frame, frame);
    held.frame.index = m_pushed++;
    if (m_contacts.ground) Aim(held);
}

void CFeetStage::Aim(HELD& held) {
    const auto i = static_cast<std::size_t>(held.frame.index);
    std::vector<POSE>& result = held.frame.result;
    if (result.size() < m_modelCount) return;
    const double k = m_ratio;
    const double sourceGround = *m_contacts.ground;
    if (m_rootFree && i < m_strideX.size()) {
        result[0].x += m_strideX[i];
        result[0].y += m_strideY[i];
    }
    m_source->Solve(held.frame.rowSource);
    m_model->Solve(result);
    // The pelvis stands k times the source's height above the ground; a translation of the root
    // moves every joint alike.
    double lift = 0.0;
    if (m_rootFree) {
        double pelvis = m_source->Joint(m_sourcePelvis).z;
        lift = m_modelGround + k * (pelvis - sourceGround) - m_model->Joint(m_modelPelvis).z;
        result[0].z += lift;
    }
    for (int s = 0; s < 2; ++s) {
        const SIDE& side = m_sides[s];
        if (!side.model.Whole() || side.source.foot < 0) continue;
        const CNodeChains& model = *m_model;
        const CNodeChains& source = *m_source;
        VEC3 hip = model.Joint(side.model.thigh), knee = model.Joint(side.model.calf);
        VEC3 foot = model.Joint(side.model.foot);
        hip.z += lift;
        knee.z += lift;
        foot.z += lift;
        const VEC3 sourceFoot = source.Joint(side.source.foot);
        VEC3 target = {foot.x, foot.y, m_modelGround + k * (sourceFoot.z - sourceGround)};
        double w = Weight(s, static_cast<int>(i));
        if (w > 0.0) {
            // The contact of this frame, or the nearest one it blends towards.
            int c = -1;
            for (int n = 0; n <= FEET_BLEND_FRAMES && c < 0; ++n) {
                for (int j : {static_cast<int>(i) - n, static_cast<int>(i) + n}) {
                    if (j >= 0 && j < static_cast<int>(side.contactOf.size()) &&
                        side.contactOf[static_cast<std::size_t>(j)] >= 0) {
                        c = side.contactOf[static_cast<std::size_t>(j)];
                        break;
                    }
                }
            }
            const VEC3& anchor = m_anchor[static_cast<std::size_t>(c)];
            target.x = foot.x + w * (anchor.x - foot.x);
            target.y = foot.y + w * (anchor.y - foot.y);
        }
        held.target[s] = target;
        held.aimed[s] = true;
        // The source knee's bend, when it bends enough to point anywhere.
        held.pole[s] = {};
        if (side.source.Whole()) {
            VEC3 h = source.Joint(side.source.thigh), n = source.Joint(side.source.calf);
            VEC3 line = Minus(sourceFoot, h);
            double length = Length(line);
            if (length > 0.0) {
                VEC3 bend = Across(Minus(n, h), Times(1.0 / length, line));
                double shin = Length(Minus(sourceFoot, n)), thigh = Length(Minus(n, h));
                // Bent less than about a degree: the model's own knee knows better.
                if (Length(bend) > 0.01 * std::min(shin, thigh)) held.pole[s] = bend;
            }
        }
        double a = Length(Minus(knee, hip)), b = Length(Minus(foot, knee));
        double limit = LEG_REACH * (a + b);
        VEC3 v = Minus(hip, target);
        if (Length(v) > limit) {
            double across2 = v.x * v.x + v.y * v.y;
            double need = limit * limit > across2 ? v.z - std::sqrt(limit * limit - across2) : v.z;
            held.lowering = std::max(held.lowering, need);
        }
    }
}

bool CFeetStage::Ready() const {
    return !m_window.empty() &&
           (m_finished || m_window.size() > static_cast<std::size_t>(PELVIS_EASE_FRAMES));
}

bool CFeetStage::Pop(FEET_FRAME& frame) {
    if (m_window.empty()) return false;
    HELD& held = m_window.front();
    double lowering = held.lowering;
    for (int n = 1; n <= PELVIS_EASE_FRAMES; ++n) {
        if (static_cast<std::size_t>(n) < m_window.size()) {
            lowering = std::max(lowering, Ease(n) * m_window[static_cast<std::size_t>(n)].lowering);
        }
        if (static_cast<std::size_t>(n) <= m_pastLowering.size()) {
            lowering =
                std::max(lowering, Ease(n) * m_pastLowering[static_cast<std::size_t>(n - 1)]);
        }
    }
    if (m_contacts.ground) Land(held, lowering);
    m_pastLowering.push_front(held.lowering);
    if (m_pastLowering.size() > static_cast<std::size_t>(PELVIS_EASE_FRAMES)) {
        m_pastLowering.pop_back();
    }
    std::swap(frame, held.frame);
    m_window.pop_front();
    return true;
}

void CFeetStage::Land(HELD& held, double lowering) {
    std::vector<POSE>& result = held.frame.result;
    if (!held.aimed[0] && !held.aimed[1]) return;
    if (m_rootFree) result[0].z -= lowering;
    m_model->Solve(result);
    for (int s = 0; s < 2; ++s) {
        if (held.aimed[s]) SolveLeg(s, held.target[s], held.pole[s], result);
    }
}

void CFeetStage::SolveLeg(int s, const VEC3& target, const VEC3& pole, std::vector<POSE>& result) {
    const LEG& leg = m_sides[s].model;
    const auto thigh = static_cast<std::size_t>(leg.thigh);
    const auto calf = static_cast<std::size_t>(leg.calf);
    const auto foot = static_cast<std::size_t>(leg.foot);
    const CNodeChains& model = *m_model;
    const VEC3 hip = model.Joint(leg.thigh), knee = model.Joint(leg.calf);
    const VEC3 ankle = model.Joint(leg.foot);
    const double a = Length(Minus(knee, hip)), b = Length(Minus(ankle, knee));
    VEC3 reach = Minus(target, hip);
    double d = Length(reach);
    if (!(a > 0.0) || !(b > 0.0) || !(d > 0.0)) return;
    const VEC3 u = Times(1.0 / d, reach);
    d = std::clamp(d, std::abs(a - b) + 1e-6 * (a + b), LEG_REACH * (a + b));

    // The knee turns the source's way; a source leg near straight leaves it the method's way,
    // and a leg straight in both the way of any square axis.
    VEC3 p = Across(pole, u);
    if (!(Length(p) > 1e-9)) p = Across(Minus(knee, hip), u);
    if (!(Length(p) > 1e-6 * a)) {
        p = Across(std::abs(u.x) < 0.9 ? VEC3{1.0, 0.0, 0.0} : VEC3{0.0, 1.0, 0.0}, u);
    }
    p = Times(1.0 / Length(p), p);
    double cosHip = std::clamp((a * a + d * d - b * b) / (2.0 * a * d), -1.0, 1.0);
    double sinHip = std::sqrt(1.0 - cosHip * cosHip);
    const VEC3 newKnee = Plus(hip, Plus(Times(a * cosHip, u), Times(a * sinHip, p)));
    const VEC3 newAnkle = Plus(hip, Times(d, u));

    auto world = [&](std::size_t n) { return model.World(static_cast<int>(n)); };
    const MAT3 turnThigh = MatrixOf(SwingBetween(Minus(knee, hip), Minus(newKnee, hip)));
    const VEC3 swungAnkle = Plus(hip, Turned(turnThigh, Minus(ankle, hip)));
    const MAT3 turnCalf =
        MatrixOf(SwingBetween(Minus(swungAnkle, newKnee), Minus(newAnkle, newKnee)));
    const MAT3 turnBoth = Multiply(turnCalf, turnThigh);
    auto parentWorld = [&](std::size_t n) {
        int parent = m_modelParents[n];
        return parent < 0 ? MAT3{} : world(static_cast<std::size_t>(parent));
    };
    // The nodes below the thigh turn with it, those below the calf with both turns; the foot
    // keeps its world rotation, and what hangs from it follows.
    const MAT3 thighWorld = Multiply(turnThigh, world(thigh));
    const MAT3 calfWorld = Multiply(turnBoth, world(calf));
    const MAT3 calfParent =
        m_modelParents[calf] == leg.thigh ? thighWorld : Multiply(turnThigh, parentWorld(calf));
    const MAT3 footParent =
        m_modelParents[foot] == leg.calf ? calfWorld : Multiply(turnBoth, parentWorld(foot));
    SetRotation(result[thigh], MultiplyTransposed(parentWorld(thigh), thighWorld));
    SetRotation(result[calf], MultiplyTransposed(calfParent, calfWorld));
    SetRotation(result[foot], MultiplyTransposed(footParent, world(foot)));
}

}  // namespace varnex
