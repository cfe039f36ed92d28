#include "sample_families.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {
constexpr double PI = std::numbers::pi;
constexpr int CYCLE = 30;
// The share of the hips' sway that the pelvis's own offset carries in the walk.
constexpr double PELVIS_SWAY = 0.05;
// The crouch of a first frame that is not a stance.
constexpr double CROUCH = 10.0;

class CFamilyBuilder {
public:
    explicit CFamilyBuilder(const SAMPLE_SKELETON& knight) : m_knight(knight) {}

    // A node of the knight's with its rest offset, hung from parent.
    void Knight(const std::string& name, const std::string& parent) {
        const SAMPLE_NODE& k = m_knight.nodes[static_cast<std::size_t>(Find(m_knight, name))];
        Add(name, parent, k.role, k.side, k.rest);
    }

    void Add(const std::string& name, const std::string& parent, SAMPLE_ROLE role, int side,
             SAMPLE_POSE rest) {
        int p = parent.empty() ? -1 : Find(m_skeleton, parent);
        m_skeleton.nodes.push_back(SAMPLE_NODE{name, p, role, side, 0, rest});
    }

    SAMPLE_NODE& Node(const std::string& name) {
        return m_skeleton.nodes[static_cast<std::size_t>(Find(m_skeleton, name))];
    }
    SAMPLE_SKELETON& Skeleton() { return m_skeleton; }

    static int Find(const SAMPLE_SKELETON& s, const std::string& name) {
        for (std::size_t i = 0; i < s.nodes.size(); ++i) {
            if (s.nodes[i].name == name) return static_cast<int>(i);
        }
        throw std::logic_error("no node \"" + name + "\"");
    }

private:
    const SAMPLE_SKELETON& m_knight;
    SAMPLE_SKELETON m_skeleton;
};

std::string Side(int side) { return side > 0 ? "Bip01 L " : "Bip01 R "; }

// The rest height of a node's joint, rotations ignored (the families have none at rest).
double RestHeight(const SAMPLE_SKELETON& s, int node) {
    double z = 0.0;
    for (int n = node; n >= 0; n = s.nodes[static_cast<std::size_t>(n)].parent) {
        z += s.nodes[static_cast<std::size_t>(n)].rest.z;
    }
    return z;
}

int SpineSegments(const SAMPLE_SKELETON& s) {
    int count = 0;
    for (const SAMPLE_NODE& n : s.nodes) {
        count += n.role == SAMPLE_ROLE::SPINE || n.role == SAMPLE_ROLE::SPINE1;
    }
    return count;
}
}  // namespace

SAMPLE_SKELETON FamilySkeleton(const FAMILY_SHAPE& shape) {
    if (shape.spineSegments < 1 || shape.spineSegments > 4) {
        throw std::logic_error("a family's spine has 1 to 4 segments");
    }
    SAMPLE_SKELETON knight = KnightSkeleton();
    CFamilyBuilder b(knight);
    b.Add("Bip01", "", SAMPLE_ROLE::ROOT, 0, {});
    b.Add("Bip01 Pelvis", "Bip01", SAMPLE_ROLE::PELVIS, 0, {0.0, 0.0, shape.pelvisOffset});
    b.Knight("Bip01 Spine", "Bip01 Pelvis");
    // The knight's spine from its first joint to the neck, shared out evenly.
    const int n = shape.spineSegments;
    const SAMPLE_POSE toNeck{-0.3, 0.0, 8.2 + 10.4};
    SAMPLE_POSE segment{toNeck.x / n, 0.0, toNeck.z / n};
    std::string top = "Bip01 Spine";
    for (int i = 1; i < n; ++i) {
        std::string name = "Bip01 Spine" + std::to_string(i);
        b.Add(name, top, SAMPLE_ROLE::SPINE1, 0, segment);
        top = name;
    }
    b.Add("Bip01 Neck", top, SAMPLE_ROLE::NECK, 0, segment);
    if (shape.extraNeck) {
        b.Add("Bip01 Neck1", "Bip01 Neck", SAMPLE_ROLE::NECK, 0, {0.2, 0.0, 1.6});
        b.Add("Bip01 Head", "Bip01 Neck1", SAMPLE_ROLE::HEAD, 0, {0.3, 0.0, 1.7});
    } else {
        b.Knight("Bip01 Head", "Bip01 Neck");
    }
    for (int side : {1, -1}) {
        std::string s = Side(side);
        b.Knight(s + "Clavicle", "Bip01 Neck");
        b.Knight(s + "UpperArm", s + "Clavicle");
        b.Knight(s + "Forearm", s + "UpperArm");
        b.Knight(s + "Hand", s + "Forearm");
    }
    for (int side : {1, -1}) {
        std::string s = Side(side);
        b.Knight(s + "Thigh", shape.thighsFromSpine ? "Bip01 Spine" : "Bip01 Pelvis");
        if (!shape.thighsFromSpine) {
            // The same hip joint, reached from the pelvis.
            const SAMPLE_POSE& spine = b.Node("Bip01 Spine").rest;
            SAMPLE_POSE& thigh = b.Node(s + "Thigh").rest;
            thigh.x += spine.x;
            thigh.z += spine.z;
        }
        b.Knight(s + "Calf", s + "Thigh");
        if (shape.horseLink) {
            // The shin goes back to a raised heel, the hock, then down and forward to the foot.
            b.Add(s + "HorseLink", s + "Calf", SAMPLE_ROLE::PROP, side, {-6.0, 0.0, -9.0});
            b.Add(s + "Foot", s + "HorseLink", SAMPLE_ROLE::FOOT, side, {5.5, 0.0, -7.9});
        } else {
            b.Knight(s + "Foot", s + "Calf");
        }
        b.Knight(s + "Toe0", s + "Foot");
    }
    SAMPLE_SKELETON& skeleton = b.Skeleton();
    double toe = RestHeight(skeleton, CFamilyBuilder::Find(skeleton, "Bip01 L Toe0"));
    if (shape.rootAtHips) {
        skeleton.nodes[0].rest.z = -toe;
    } else {
        b.Node("Bip01 Pelvis").rest.z -= toe;
    }
    return skeleton;
}

std::vector<std::vector<SAMPLE_POSE>> FamilyAnimation(const SAMPLE_SKELETON& skeleton, int frames,
                                                      double bowDegrees, bool crouchedFirst) {
    const double perSegment = bowDegrees * PI / 180.0 / SpineSegments(skeleton);
    std::vector<std::vector<SAMPLE_POSE>> animation;
    for (int t = 0; t < frames; ++t) {
        std::vector<SAMPLE_POSE> poses = WalkFrame(skeleton, t, CYCLE);
        double phase = 2.0 * PI * t / CYCLE;
        for (std::size_t i = 0; i < poses.size(); ++i) {
            SAMPLE_ROLE role = skeleton.nodes[i].role;
            if (role == SAMPLE_ROLE::SPINE || role == SAMPLE_ROLE::SPINE1) {
                poses[i].ry += perSegment * (0.5 - 0.5 * std::cos(phase));
            }
            if (role == SAMPLE_ROLE::PELVIS) poses[i].y += PELVIS_SWAY * std::sin(phase);
        }
        animation.push_back(std::move(poses));
    }
    if (crouchedFirst && !animation.empty()) {
        SAMPLE_STANCE crouch;
        crouch.rootZ = -CROUCH;
        animation[0] = StanceFrame(skeleton, crouch);
    }
    return animation;
}

std::string FamilySmd(const SAMPLE_SKELETON& skeleton,
                      const std::vector<std::vector<SAMPLE_POSE>>& frames) {
    std::string text = SmdHeader(skeleton);
    for (std::size_t t = 0; t < frames.size(); ++t) {
        AppendFrame(text, static_cast<int>(t), frames[t]);
    }
    return text + "end\r\n";
}

std::string FamilyReferenceSmd(const SAMPLE_SKELETON& skeleton) {
    std::vector<SAMPLE_POSE> rest;
    for (const SAMPLE_NODE& node : skeleton.nodes) rest.push_back(node.rest);
    return FamilySmd(skeleton, {rest});
}
