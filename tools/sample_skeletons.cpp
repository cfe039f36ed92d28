#include "sample_skeletons.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <stdexcept>
#include <string_view>

namespace {
constexpr double PI = std::numbers::pi;
// The walk moves the root this far forward each frame: 48 units a cycle of 30 frames, two strides.
constexpr double WALK_SPEED = 1.6;
// Lines stay well inside what a reader with a fixed 120-byte line window can take.
constexpr std::size_t MAX_LINE = 99;
// A reader may keep only the first 2000 bytes of a reference file: header, node list and the
// "time 0" line must fit.
constexpr std::size_t MAX_HEAD = 2000;
constexpr int SAMPLE_CYCLE = 30;

enum class NAMING { THIGH, LEG };

std::string SideName(int side) { return side > 0 ? "L" : "R"; }

// The bone word of a node under one naming; the prefix "Bip01 " is the caller's.
std::string BoneWord(SAMPLE_ROLE role, int side, int detail, NAMING naming) {
    bool leg = naming == NAMING::LEG;
    std::string s = SideName(side) + " ";
    switch (role) {
        case SAMPLE_ROLE::PELVIS:
            return "Pelvis";
        case SAMPLE_ROLE::SPINE:
            return "Spine";
        case SAMPLE_ROLE::SPINE1:
            return "Spine1";
        case SAMPLE_ROLE::NECK:
            return "Neck";
        case SAMPLE_ROLE::HEAD:
            return "Head";
        case SAMPLE_ROLE::CLAVICLE:
            return s + (leg ? "Arm" : "Clavicle");
        case SAMPLE_ROLE::UPPER_ARM:
            return s + (leg ? "Arm1" : "UpperArm");
        case SAMPLE_ROLE::FOREARM:
            return s + (leg ? "Arm2" : "Forearm");
        case SAMPLE_ROLE::HAND:
            return s + "Hand";
        case SAMPLE_ROLE::THIGH:
            return s + (leg ? "Leg" : "Thigh");
        case SAMPLE_ROLE::CALF:
            return s + (leg ? "Leg1" : "Calf");
        case SAMPLE_ROLE::FOOT:
            return s + "Foot";
        case SAMPLE_ROLE::TOE:
            return s + "Toe0";
        case SAMPLE_ROLE::FINGER: {
            // "L Finger2" for the base joint, "L Finger21" and "L Finger22" for the next two.
            std::string word = s + "Finger" + std::to_string(detail / 10);
            if (detail % 10 > 0) word += std::to_string(detail % 10);
            return word;
        }
        case SAMPLE_ROLE::ROOT:
        case SAMPLE_ROLE::PROP:
            break;
    }
    return "";
}

// The knight's offset of a biped bone from its parent in the knight. Z is up, X forward, Y to the
// left; the rest pose stands upright with the arms hanging.
SAMPLE_POSE KnightOffset(SAMPLE_ROLE role, int side, int detail) {
    double y = side;
    switch (role) {
        case SAMPLE_ROLE::PELVIS:
            return {0.0, 0.0, 1.2};
        case SAMPLE_ROLE::SPINE:
            return {0.4, 0.0, 3.6};
        case SAMPLE_ROLE::THIGH:
            return {-0.4, 3.9 * y, -4.8};  // from the spine
        case SAMPLE_ROLE::CALF:
            return {0.6, 0.0, -16.8};
        case SAMPLE_ROLE::FOOT:
            return {-0.5, 0.0, -16.9};
        case SAMPLE_ROLE::TOE:
            return {4.8, 0.0, -3.1};
        case SAMPLE_ROLE::SPINE1:
            return {0.0, 0.0, 8.2};
        case SAMPLE_ROLE::NECK:
            return {-0.3, 0.0, 10.4};
        case SAMPLE_ROLE::HEAD:
            return {0.5, 0.0, 3.3};
        case SAMPLE_ROLE::CLAVICLE:
            return {-0.2, 1.6 * y, -1.4};
        case SAMPLE_ROLE::UPPER_ARM:
            return {0.0, 5.6 * y, -0.4};
        case SAMPLE_ROLE::FOREARM:
            return {0.3, 0.0, -11.2};
        case SAMPLE_ROLE::HAND:
            return {0.2, 0.0, -9.6};
        case SAMPLE_ROLE::FINGER: {
            int finger = detail / 10;
            int joint = detail % 10;
            if (finger == 0) {  // the thumb points forward
                if (joint == 0) return {1.1, 0.9 * y, -1.0};
                return joint == 1 ? SAMPLE_POSE{0.9, 0.0, -0.7} : SAMPLE_POSE{0.7, 0.0, -0.5};
            }
            if (joint == 0) return {1.3 - 0.55 * (finger - 1), 0.4 * y, -2.7};
            return joint == 1 ? SAMPLE_POSE{0.0, 0.0, -1.4} : SAMPLE_POSE{0.0, 0.0, -1.0};
        }
        case SAMPLE_ROLE::ROOT:
        case SAMPLE_ROLE::PROP:
            break;
    }
    return {};
}

// The runner is built from the knight's bones, each kind stretched or shrunk on its own, so that
// the bone scales differ from row to row.
double RunnerFactor(SAMPLE_ROLE role) {
    switch (role) {
        case SAMPLE_ROLE::PELVIS:
            return 1.15;
        case SAMPLE_ROLE::SPINE:
            return 0.85;
        case SAMPLE_ROLE::CALF:
            return 1.25;
        case SAMPLE_ROLE::FOOT:
            return 1.2;
        case SAMPLE_ROLE::TOE:
            return 0.9;
        case SAMPLE_ROLE::SPINE1:
            return 0.9;
        case SAMPLE_ROLE::NECK:
            return 1.3;
        case SAMPLE_ROLE::HEAD:
            return 0.8;
        case SAMPLE_ROLE::CLAVICLE:
            return 1.15;
        case SAMPLE_ROLE::UPPER_ARM:
            return 0.95;
        case SAMPLE_ROLE::FOREARM:
            return 1.1;
        case SAMPLE_ROLE::HAND:
            return 0.85;
        case SAMPLE_ROLE::FINGER:
            return 1.05;
        default:
            return 1.0;
    }
}

SAMPLE_POSE RunnerOffset(SAMPLE_ROLE role, int side, int detail) {
    if (role == SAMPLE_ROLE::THIGH) return {-0.3, 3.6 * side, -1.4};  // from the pelvis
    SAMPLE_POSE p = KnightOffset(role, side, detail);
    double f = RunnerFactor(role);
    return {p.x * f, p.y * f, p.z * f};
}

// Adds nodes in the order of the calls; a parent must be added before its children.
class CSkeletonBuilder {
public:
    explicit CSkeletonBuilder(NAMING naming) : m_naming(naming) {}

    void Root() { Push("Bip01", -1, SAMPLE_ROLE::ROOT, 0, 0, {}); }

    // A biped bone named by its role under the builder's naming, hung from the node named parent.
    void Bone(SAMPLE_ROLE role, int side, const std::string& parent, int detail = 0) {
        std::string name = "Bip01 " + BoneWord(role, side, detail, m_naming);
        SAMPLE_POSE offset = m_naming == NAMING::LEG ? RunnerOffset(role, side, detail)
                                                     : KnightOffset(role, side, detail);
        Push(name, Find(parent), role, side, detail, offset);
    }

    // Five fingers of three joints on one hand, base joints first.
    void Fingers(int side) {
        std::string hand = "Bip01 " + BoneWord(SAMPLE_ROLE::HAND, side, 0, m_naming);
        for (int finger = 0; finger < 5; ++finger) {
            std::string previous = hand;
            for (int joint = 0; joint < 3; ++joint) {
                int detail = 10 * finger + joint;
                Bone(SAMPLE_ROLE::FINGER, side, previous, detail);
                previous = m_skeleton.nodes.back().name;
            }
        }
    }

    void Prop(const std::string& name, const std::string& parent, SAMPLE_POSE offset) {
        Push(name, Find(parent), SAMPLE_ROLE::PROP, 0, 0, offset);
    }

    // Puts the root at the height where the left toe touches the ground.
    SAMPLE_SKELETON Done() {
        int toe = Find("Bip01 " + BoneWord(SAMPLE_ROLE::TOE, 1, 0, m_naming));
        double z = 0.0;
        for (int n = toe; n > 0; n = m_skeleton.nodes[static_cast<std::size_t>(n)].parent) {
            z += m_skeleton.nodes[static_cast<std::size_t>(n)].rest.z;
        }
        m_skeleton.nodes[0].rest.z = -z;
        return m_skeleton;
    }

    int Find(const std::string& name) const {
        for (std::size_t i = 0; i < m_skeleton.nodes.size(); ++i) {
            if (m_skeleton.nodes[i].name == name) return static_cast<int>(i);
        }
        throw std::logic_error("parent \"" + name + "\" is not (yet) in the skeleton");
    }

private:
    void Push(const std::string& name, int parent, SAMPLE_ROLE role, int side, int detail,
              SAMPLE_POSE rest) {
        m_skeleton.nodes.push_back(SAMPLE_NODE{name, parent, role, side, detail, rest});
    }

    NAMING m_naming;
    SAMPLE_SKELETON m_skeleton;
};

// Thigh, calf, foot and toe of one side, in the naming with "Thigh".
void LegChain(CSkeletonBuilder& b, int side, const std::string& thighParent) {
    b.Bone(SAMPLE_ROLE::THIGH, side, thighParent);
    std::string s = "Bip01 " + SideName(side) + " ";
    b.Bone(SAMPLE_ROLE::CALF, side, s + "Thigh");
    b.Bone(SAMPLE_ROLE::FOOT, side, s + "Calf");
    b.Bone(SAMPLE_ROLE::TOE, side, s + "Foot");
}

void ArmChain(CSkeletonBuilder& b, int side, NAMING naming) {
    auto name = [&](SAMPLE_ROLE role) { return "Bip01 " + BoneWord(role, side, 0, naming); };
    b.Bone(SAMPLE_ROLE::CLAVICLE, side, "Bip01 Neck");
    b.Bone(SAMPLE_ROLE::UPPER_ARM, side, name(SAMPLE_ROLE::CLAVICLE));
    b.Bone(SAMPLE_ROLE::FOREARM, side, name(SAMPLE_ROLE::UPPER_ARM));
    b.Bone(SAMPLE_ROLE::HAND, side, name(SAMPLE_ROLE::FOREARM));
}

// The knight's nodes in its order, with fingers behind each hand when asked for.
CSkeletonBuilder KnightNodes(bool fingers) {
    CSkeletonBuilder b(NAMING::THIGH);
    b.Root();
    b.Bone(SAMPLE_ROLE::PELVIS, 0, "Bip01");
    b.Bone(SAMPLE_ROLE::SPINE, 0, "Bip01 Pelvis");
    LegChain(b, 1, "Bip01 Spine");
    LegChain(b, -1, "Bip01 Spine");
    b.Bone(SAMPLE_ROLE::SPINE1, 0, "Bip01 Spine");
    b.Bone(SAMPLE_ROLE::NECK, 0, "Bip01 Spine1");
    b.Bone(SAMPLE_ROLE::HEAD, 0, "Bip01 Neck");
    ArmChain(b, 1, NAMING::THIGH);
    if (fingers) b.Fingers(1);
    ArmChain(b, -1, NAMING::THIGH);
    if (fingers) b.Fingers(-1);
    b.Prop("Sword", "Bip01 R Hand", {1.8, 0.0, -3.5});
    return b;
}

// The runner's order: both thighs right behind the pelvis, then the spine, the lower legs, the
// right arm before the left one and the head last. The spine and the pelvis stay one-digit nodes
// and each thigh comes before its calf, so that a conversion that rewrites a single character of
// the thighs' parent fields, found by the first "L Leg" and "R Leg", still gives the right file.
CSkeletonBuilder RunnerNodes(bool fingers) {
    CSkeletonBuilder b(NAMING::LEG);
    b.Root();
    b.Bone(SAMPLE_ROLE::PELVIS, 0, "Bip01");
    b.Bone(SAMPLE_ROLE::THIGH, 1, "Bip01 Pelvis");
    b.Bone(SAMPLE_ROLE::THIGH, -1, "Bip01 Pelvis");
    b.Bone(SAMPLE_ROLE::SPINE, 0, "Bip01 Pelvis");
    for (int side : {1, -1}) {
        std::string s = "Bip01 " + SideName(side) + " ";
        b.Bone(SAMPLE_ROLE::CALF, side, s + "Leg");
        b.Bone(SAMPLE_ROLE::FOOT, side, s + "Leg1");
        b.Bone(SAMPLE_ROLE::TOE, side, s + "Foot");
    }
    b.Bone(SAMPLE_ROLE::SPINE1, 0, "Bip01 Spine");
    b.Bone(SAMPLE_ROLE::NECK, 0, "Bip01 Spine1");
    ArmChain(b, -1, NAMING::LEG);
    ArmChain(b, 1, NAMING::LEG);
    b.Bone(SAMPLE_ROLE::HEAD, 0, "Bip01 Neck");
    if (fingers) {
        b.Fingers(-1);
        b.Fingers(1);
    }
    return b;
}

// Big files from real exporters carry signs and digits in every field; this gives the benchmark's
// skeletons the same line lengths by nudging every offset and tilting every rest rotation a little.
void Roughen(SAMPLE_SKELETON& skeleton) {
    for (std::size_t i = 1; i < skeleton.nodes.size(); ++i) {
        SAMPLE_POSE& r = skeleton.nodes[i].rest;
        double k = static_cast<double>(i);
        r.x += 0.137 * std::sin(1.3 * k + 0.4);
        r.y += 0.151 * std::sin(0.9 * k + 1.7);
        r.z += 0.109 * std::sin(1.7 * k + 2.9);
        r.rx = 0.21 * std::sin(0.7 * k + 0.3);
        r.ry = 0.19 * std::sin(1.1 * k + 2.2);
        r.rz = 0.23 * std::sin(0.5 * k + 4.1);
    }
}

// The swing of each role around its rest rotation; phase runs over one cycle from 0 to 2 pi.
SAMPLE_POSE Swing(const SAMPLE_NODE& node, double phase) {
    // Each leg swings half a cycle after the other; each arm against the leg of its side.
    double leg = node.side < 0 ? phase + PI : phase;
    double arm = leg + PI;
    double s = node.side;
    SAMPLE_POSE d;
    switch (node.role) {
        case SAMPLE_ROLE::ROOT:
            d.rx = 0.04 * std::sin(phase);
            d.rz = 0.06 * std::sin(phase);
            break;
        case SAMPLE_ROLE::PELVIS:
            d.rx = 0.07 * std::sin(phase);
            d.rz = 0.05 * std::sin(phase);
            break;
        case SAMPLE_ROLE::SPINE:
            d.ry = 0.04 * std::sin(2 * phase);
            d.rz = -0.1 * std::sin(phase);
            break;
        case SAMPLE_ROLE::SPINE1:
            d.rz = -0.06 * std::sin(phase);
            break;
        case SAMPLE_ROLE::NECK:
            d.rz = 0.08 * std::sin(phase);
            break;
        case SAMPLE_ROLE::HEAD:
            d.ry = 0.03 * std::sin(2 * phase);
            d.rz = 0.07 * std::sin(phase);
            break;
        case SAMPLE_ROLE::CLAVICLE:
            d.rz = 0.03 * s * std::sin(phase);
            break;
        case SAMPLE_ROLE::UPPER_ARM:
            d.rx = 0.08 * s;
            d.ry = -0.35 * std::sin(arm);
            break;
        case SAMPLE_ROLE::FOREARM:
            d.ry = -0.35 - 0.15 * std::sin(arm);
            break;
        case SAMPLE_ROLE::HAND:
            d.rx = 0.1 * std::sin(arm);
            break;
        case SAMPLE_ROLE::FINGER:
            d.ry =
                -0.2 - 0.15 * std::sin(phase + 0.4 * (node.detail / 10) + 0.3 * (node.detail % 10));
            break;
        case SAMPLE_ROLE::THIGH:
            d.rx = 0.04 * s;
            d.ry = -0.48 * std::sin(leg);
            break;
        case SAMPLE_ROLE::CALF:
            d.ry = 0.1 + 0.55 * (0.5 - 0.5 * std::cos(leg + 0.9));
            break;
        case SAMPLE_ROLE::FOOT:
            d.ry = -0.2 * std::sin(leg + 0.4);
            break;
        case SAMPLE_ROLE::TOE:
            d.ry = 0.15 + 0.15 * std::sin(leg - 1.0);
            break;
        case SAMPLE_ROLE::PROP:
            d.rx = 0.05 * std::sin(phase + 1.0);
            break;
    }
    return d;
}

void CheckLines(std::string_view text, const std::string& what) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos || lf == start || text[lf - 1] != '\r') {
            throw std::logic_error(what + ": a line does not end in CR LF");
        }
        if (lf - 1 - start > MAX_LINE) throw std::logic_error(what + ": a line is too long");
        start = lf + 1;
    }
    if (text.find("-0.000000") != std::string_view::npos) {
        throw std::logic_error(what + ": a zero is written with a minus sign");
    }
}

// The header and the "time 0" line must lie in the first 2000 bytes, and no node name may hold the
// letters "end" or "-1", which a reader searching for keywords takes for the end of the list or a
// root.
void CheckReferenceHead(const SAMPLE_SKELETON& skeleton, const std::string& header,
                        const std::string& what) {
    for (const SAMPLE_NODE& node : skeleton.nodes) {
        if (node.name.find("end") != std::string::npos ||
            node.name.find("-1") != std::string::npos) {
            throw std::logic_error(what + ": node name \"" + node.name +
                                   "\" would mislead readers");
        }
    }
    if (header.size() + 8 > MAX_HEAD) {
        throw std::logic_error(what + ": the header does not fit in the first 2000 bytes");
    }
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

std::vector<SAMPLE_POSE> RestPoses(const SAMPLE_SKELETON& skeleton) {
    std::vector<SAMPLE_POSE> rest;
    for (const SAMPLE_NODE& node : skeleton.nodes) rest.push_back(node.rest);
    return rest;
}

// A spine bent forward a little at rest, so that a spine turning away from its rest rotation
// differs from a spine turning away from zero.
void BendSpine(SAMPLE_SKELETON& skeleton) {
    for (SAMPLE_NODE& node : skeleton.nodes) {
        if (node.role == SAMPLE_ROLE::SPINE) node.rest.ry = -0.05;
    }
}

std::string FrameBody(const SAMPLE_SKELETON& skeleton, int frame, int cycle) {
    std::string text;
    AppendFrame(text, frame, WalkFrame(skeleton, frame, cycle));
    return text;
}
}  // namespace

SAMPLE_SKELETON KnightSkeleton() { return KnightNodes(false).Done(); }

SAMPLE_SKELETON RunnerSkeleton() {
    SAMPLE_SKELETON runner = RunnerNodes(false).Done();
    BendSpine(runner);
    return runner;
}

SAMPLE_SKELETON BenchModelSkeleton() {
    CSkeletonBuilder b = KnightNodes(true);
    b.Prop("Shield", "Bip01 L Forearm", {0.5, 2.2, -5.0});
    b.Prop("Helmet", "Bip01 Head", {0.0, 0.0, 4.1});
    b.Prop("Plume", "Helmet", {-1.2, 0.0, 2.4});
    b.Prop("Cape", "Bip01 Spine1", {-2.6, 0.0, 6.8});
    b.Prop("Cape1", "Cape", {-0.4, 0.0, -12.5});
    b.Prop("Cape2", "Cape1", {-0.6, 0.0, -13.0});
    b.Prop("Scabbard", "Bip01 Pelvis", {-0.8, -4.6, -1.0});
    SAMPLE_SKELETON s = b.Done();
    Roughen(s);
    return s;
}

SAMPLE_SKELETON BenchRefSkeleton() {
    CSkeletonBuilder b = RunnerNodes(true);
    b.Prop("Bip01 Ponytail1", "Bip01 Head", {-3.1, 0.0, 2.2});
    b.Prop("Bip01 Ponytail2", "Bip01 Ponytail1", {-0.9, 0.0, -4.4});
    b.Prop("Bip01 Tail", "Bip01 Pelvis", {-3.4, 0.0, -0.6});
    b.Prop("Bip01 Tail1", "Bip01 Tail", {-5.2, 0.0, -1.1});
    b.Prop("Bip01 Tail2", "Bip01 Tail1", {-5.0, 0.0, -1.6});
    b.Prop("Bip01 Tail3", "Bip01 Tail2", {-4.7, 0.0, -2.0});
    b.Prop("Bip01 Prop1", "Bip01 R Hand", {1.5, 0.0, -3.0});
    b.Prop("Bip01 Prop2", "Bip01 L Hand", {1.5, 0.0, -3.0});
    SAMPLE_SKELETON s = b.Done();
    BendSpine(s);
    Roughen(s);
    return s;
}

std::vector<SAMPLE_POSE> WalkFrame(const SAMPLE_SKELETON& skeleton, int frame, int cycleFrames) {
    double phase = 2.0 * PI * frame / cycleFrames;
    std::vector<SAMPLE_POSE> poses;
    poses.reserve(skeleton.nodes.size());
    for (const SAMPLE_NODE& node : skeleton.nodes) {
        SAMPLE_POSE p = node.rest;
        SAMPLE_POSE d = Swing(node, phase);
        p.rx += d.rx;
        p.ry += d.ry;
        p.rz += d.rz;
        if (node.role == SAMPLE_ROLE::ROOT) {
            // Forward, a sway over the standing foot, and lowest where both feet are down.
            p.x += WALK_SPEED * frame;
            p.y += 0.8 * std::sin(phase);
            p.z += -0.45 + 0.45 * std::cos(2 * phase);
        }
        poses.push_back(p);
    }
    return poses;
}

namespace {
// The world position of a node's joint in the rest pose, rotations ignored.
SAMPLE_POSE RestJoint(const SAMPLE_SKELETON& skeleton, int node) {
    SAMPLE_POSE p;
    for (int n = node; n >= 0; n = skeleton.nodes[static_cast<std::size_t>(n)].parent) {
        const SAMPLE_POSE& r = skeleton.nodes[static_cast<std::size_t>(n)].rest;
        p.x += r.x;
        p.y += r.y;
        p.z += r.z;
    }
    return p;
}

int ChildOfRole(const SAMPLE_SKELETON& skeleton, int parent, SAMPLE_ROLE role) {
    for (std::size_t i = 0; i < skeleton.nodes.size(); ++i) {
        if (skeleton.nodes[i].parent == parent && skeleton.nodes[i].role == role) {
            return static_cast<int>(i);
        }
    }
    throw std::logic_error("a leg lacks its calf or its foot");
}

// Turns one leg so that its ankle moves by (dx, dz) while the hip moves by (hipX, hipZ). A turn
// by ry takes a direction at angle phi in the XZ plane (from X towards Z) to phi - ry.
void SolveLeg(const SAMPLE_SKELETON& skeleton, int thigh, double hipX, double hipZ, double dx,
              double dz, std::vector<SAMPLE_POSE>& poses) {
    int calf = ChildOfRole(skeleton, thigh, SAMPLE_ROLE::CALF);
    int foot = ChildOfRole(skeleton, calf, SAMPLE_ROLE::FOOT);
    const SAMPLE_POSE& u = skeleton.nodes[static_cast<std::size_t>(calf)].rest;
    const SAMPLE_POSE& v = skeleton.nodes[static_cast<std::size_t>(foot)].rest;
    double toX = u.x + v.x + dx - hipX, toZ = u.z + v.z + dz - hipZ;
    double l1 = std::hypot(u.x, u.z), l2 = std::hypot(v.x, v.z), d = std::hypot(toX, toZ);
    double c = std::clamp((d * d - l1 * l1 - l2 * l2) / (2 * l1 * l2), -1.0, 1.0);
    double bend = std::acos(c);  // from the thigh's direction to the shin's, knee forward
    double thighAngle = std::atan2(toZ, toX) + std::atan2(l2 * std::sin(bend), l1 + l2 * c);
    double shinAngle = thighAngle - bend;
    double a = std::atan2(u.z, u.x) - thighAngle;
    double b = std::atan2(v.z, v.x) - a - shinAngle;
    poses[static_cast<std::size_t>(thigh)].ry += a;
    poses[static_cast<std::size_t>(calf)].ry += b;
    poses[static_cast<std::size_t>(foot)].ry -= a + b;
}
}  // namespace

std::vector<SAMPLE_POSE> StanceFrame(const SAMPLE_SKELETON& skeleton, const SAMPLE_STANCE& stance) {
    std::vector<SAMPLE_POSE> poses = RestPoses(skeleton);
    poses[0].x += stance.rootX;
    poses[0].z += stance.rootZ;
    for (std::size_t i = 0; i < skeleton.nodes.size(); ++i) {
        const SAMPLE_NODE& node = skeleton.nodes[i];
        if (node.role != SAMPLE_ROLE::THIGH) continue;
        bool left = node.side > 0;
        SolveLeg(skeleton, static_cast<int>(i), stance.rootX, stance.rootZ,
                 left ? stance.leftX : stance.rightX, left ? stance.leftZ : stance.rightZ, poses);
    }
    return poses;
}

void ScaleRole(SAMPLE_SKELETON& skeleton, SAMPLE_ROLE role, double factor) {
    int toe = -1;
    for (std::size_t i = 0; i < skeleton.nodes.size(); ++i) {
        SAMPLE_NODE& node = skeleton.nodes[i];
        if (node.role == role) {
            node.rest.x *= factor;
            node.rest.y *= factor;
            node.rest.z *= factor;
        }
        if (node.role == SAMPLE_ROLE::TOE && node.side > 0) toe = static_cast<int>(i);
    }
    if (toe >= 0) skeleton.nodes[0].rest.z -= RestJoint(skeleton, toe).z;
}

void AppendFixed6(std::string& out, double value) {
    // Rounded to a millionth first, the value prints the same with printf("%.6f") on any libc;
    // the text is made from the integer so that no locale and no rounding mode can change it.
    std::int64_t micro = std::llround(value * 1e6);
    if (micro < 0) {
        out += '-';
        micro = -micro;
    }
    char text[32];
    int length =
        std::snprintf(text, sizeof text, "%lld.%06lld", static_cast<long long>(micro / 1000000),
                      static_cast<long long>(micro % 1000000));
    out.append(text, static_cast<std::size_t>(length));
}

std::string SmdHeader(const SAMPLE_SKELETON& skeleton) {
    std::string text = "version 1\r\nnodes\r\n";
    char line[160];
    for (std::size_t i = 0; i < skeleton.nodes.size(); ++i) {
        const SAMPLE_NODE& node = skeleton.nodes[i];
        std::snprintf(line, sizeof line, "%3d \"%s\" %3d\r\n", static_cast<int>(i),
                      node.name.c_str(), node.parent);
        text += line;
    }
    text += "end\r\nskeleton\r\n";
    return text;
}

void AppendFrame(std::string& out, int time, const std::vector<SAMPLE_POSE>& poses) {
    out += "time " + std::to_string(time) + "\r\n";
    char number[16];
    for (std::size_t i = 0; i < poses.size(); ++i) {
        std::snprintf(number, sizeof number, "%3d", static_cast<int>(i));
        out += number;
        const SAMPLE_POSE& p = poses[i];
        for (double v : {p.x, p.y, p.z, p.rx, p.ry, p.rz}) {
            out += ' ';
            AppendFixed6(out, v);
        }
        out += "\r\n";
    }
}

std::string KnightTriangles(const SAMPLE_SKELETON& knight) {
    int sword = -1;
    for (std::size_t i = 0; i < knight.nodes.size(); ++i) {
        if (knight.nodes[i].name == "Sword") sword = static_cast<int>(i);
    }
    if (sword < 0) throw std::logic_error("the knight has no node \"Sword\"");
    // Vertices are in model space: the rest offsets summed up the chain (the knight's rest
    // rotations are all zero).
    double sx = 0, sy = 0, sz = 0;
    for (int n = sword; n >= 0; n = knight.nodes[static_cast<std::size_t>(n)].parent) {
        const SAMPLE_POSE& r = knight.nodes[static_cast<std::size_t>(n)].rest;
        sx += r.x;
        sy += r.y;
        sz += r.z;
    }
    struct VERTEX {
        double dx, dy, dz, nx, ny, nz, u, v;
    };
    // The blade hangs from the hand along -Z, flat side to the right; the guard crosses it.
    const VERTEX blade[3] = {{0.0, 0.0, 0.3, 0, -1, 0, 0.0, 0.0},
                             {0.6, 0.0, 0.3, 0, -1, 0, 0.25, 0.0},
                             {0.3, 0.0, -22.0, 0, -1, 0, 0.125, 1.0}};
    const VERTEX guard[3] = {{-1.2, 0.0, 0.6, 0, 0, 1, 0.5, 0.0},
                             {1.8, 0.0, 0.6, 0, 0, 1, 1.0, 0.0},
                             {0.3, -0.8, 0.6, 0, 0, 1, 0.75, 0.3}};
    std::string text = "triangles\r\n";
    char number[16];
    std::snprintf(number, sizeof number, "%3d", sword);
    for (const VERTEX* triangle : {blade, guard}) {
        text += "knight.bmp\r\n";
        for (int k = 0; k < 3; ++k) {
            const VERTEX& v = triangle[k];
            text += number;
            for (double value : {sx + v.dx, sy + v.dy, sz + v.dz, v.nx, v.ny, v.nz, v.u, v.v}) {
                text += ' ';
                AppendFixed6(text, value);
            }
            text += "\r\n";
        }
    }
    text += "end\r\n";
    return text;
}

void WriteTextFile(const std::string& path, const std::string& text) {
    std::string temp = path + ".tmp-make";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error(path + ": cannot create " + temp);
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(path + ": cannot write the file");
    }
}

void WriteSampleFiles(const std::string& folder) {
    SAMPLE_SKELETON knight = KnightSkeleton();
    SAMPLE_SKELETON runner = RunnerSkeleton();

    std::string model = SmdHeader(knight);
    CheckReferenceHead(knight, model, "knight_ref.smd");
    AppendFrame(model, 0, RestPoses(knight));
    model += "end\r\n";
    model += KnightTriangles(knight);

    std::string ref = SmdHeader(runner);
    CheckReferenceHead(runner, ref, "runner_ref.smd");
    AppendFrame(ref, 0, RestPoses(runner));
    ref += "end\r\n";

    std::string walk = SmdHeader(runner);
    for (int t = 0; t < SAMPLE_CYCLE; ++t) AppendFrame(walk, t, WalkFrame(runner, t, SAMPLE_CYCLE));
    walk += "end\r\n";

    CheckLines(model, "knight_ref.smd");
    CheckLines(ref, "runner_ref.smd");
    CheckLines(walk, "runner_walk.smd");
    std::filesystem::create_directories(folder);
    WriteTextFile(JoinPath(folder, "knight_ref.smd"), model);
    WriteTextFile(JoinPath(folder, "runner_ref.smd"), ref);
    WriteTextFile(JoinPath(folder, "runner_walk.smd"), walk);
}

long long WriteBenchFiles(const std::string& folder, int frames) {
    SAMPLE_SKELETON modelSkeleton = BenchModelSkeleton();
    SAMPLE_SKELETON refSkeleton = BenchRefSkeleton();
    std::string model = SmdHeader(modelSkeleton);
    CheckReferenceHead(modelSkeleton, model, "bench_model.smd");
    AppendFrame(model, 0, RestPoses(modelSkeleton));
    model += "end\r\n";
    std::string header = SmdHeader(refSkeleton);
    CheckReferenceHead(refSkeleton, header, "bench_ref.smd");
    std::string ref = header;
    AppendFrame(ref, 0, RestPoses(refSkeleton));
    ref += "end\r\n";
    CheckLines(model, "bench_model.smd");
    CheckLines(ref, "bench_ref.smd");

    // The walk repeats every cycle, so each frame's lines are made once and written again under
    // each later time; only the "time" line changes.
    std::vector<std::string> bodies;
    for (int t = 0; t < SAMPLE_CYCLE; ++t) {
        std::string body = FrameBody(refSkeleton, t, SAMPLE_CYCLE);
        CheckLines(body, "bench_anim.smd");
        bodies.push_back(body.substr(body.find('\n') + 1));
    }

    std::filesystem::create_directories(folder);
    WriteTextFile(JoinPath(folder, "bench_model.smd"), model);
    WriteTextFile(JoinPath(folder, "bench_ref.smd"), ref);

    std::string path = JoinPath(folder, "bench_anim.smd");
    std::string temp = path + ".tmp-make";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error(path + ": cannot create " + temp);
    std::string chunk = header;
    long long size = 0;
    bool ok = true;
    for (int t = 0; t < frames && ok; ++t) {
        chunk += "time " + std::to_string(t) + "\r\n";
        chunk += bodies[static_cast<std::size_t>(t % SAMPLE_CYCLE)];
        if (chunk.size() > (1u << 20)) {
            ok = std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
            size += static_cast<long long>(chunk.size());
            chunk.clear();
        }
    }
    chunk += "end\r\n";
    ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size();
    size += static_cast<long long>(chunk.size());
    ok = std::fclose(file) == 0 && ok;
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(temp, ec);
        throw std::runtime_error(path + ": cannot write the file");
    }
    return size;
}

std::string StepsOnTheSpotSmd() {
    SAMPLE_SKELETON runner = RunnerSkeleton();
    std::string smd = SmdHeader(runner);
    for (int t = 0; t < 30; ++t) {
        double s = std::sin(2 * std::numbers::pi * t / 30);
        SAMPLE_STANCE stance;
        stance.rootZ = -2;
        stance.leftZ = std::max(0.0, 10 * s);
        stance.rightZ = std::max(0.0, -10 * s);
        AppendFrame(smd, t, StanceFrame(runner, stance));
    }
    return smd + "end\r\n";
}
