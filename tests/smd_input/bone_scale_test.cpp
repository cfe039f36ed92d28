#include <gtest/gtest.h>

#include "platform/varnex_error.h"
#include "smd_input/bone_scale.h"
#include "test_support.h"

namespace {
SMD_HEAD Head(const std::vector<TEST_NODE>& nodes, const std::string& name) {
    std::string text = MakeSmd(nodes);
    CMemorySource source(text, name);
    return ReadSmdHead(source, true);
}

struct SCALE_FIXTURE {
    SMD_HEAD model;
    SMD_HEAD ref;
    GRID_TEXTS nodeText;
    BONE_SCALE_INPUT input;

    SCALE_FIXTURE(const std::vector<TEST_NODE>& modelNodes, const std::vector<TEST_NODE>& refNodes,
                  const std::vector<std::string>& rows)
        : model(Head(modelNodes, "model.smd")), ref(Head(refNodes, "ref.smd")) {
        nodeText.fill("0");
        for (std::size_t i = 0; i < rows.size(); ++i) nodeText[i + 1] = rows[i];
        input.nodeCount = static_cast<int>(modelNodes.size());
        input.nodeText = &nodeText;
        input.model = &model;
        input.refAnim = &ref;
    }
};

// model: 0 root (0,0,40)  1 pelvis (0,0,2)  2 L Thigh (0,24,0)  3 sword (5,0,0)  4 flat (1,0,0)
// ref:   0 root (0,0,20)  1 L Leg (0,12,0)  2 spine (3,4,0)      3 pelvis (0,0,1) 4 zero (0,0,0)
const std::vector<TEST_NODE> MODEL = {
    {"Bip01", -1, 0, 0, 40, 0, 0, 0},  {"Bip01 Pelvis", 0, 0, 0, 2, 0, 0, 0},
    {"Bip01 L Thigh", 1, 0, 24, 0, 0, 0, 0}, {"Sword", 0, 5, 0, 0, 0, 0, 0},
    {"Flat", 0, 1, 0, 0, 0, 0, 0}};
const std::vector<TEST_NODE> REF = {
    {"Bip01", -1, 0, 0, 20, 0, 0, 0},  {"Bip01 L Leg", 3, 0, 12, 0, 0, 0, 0},
    {"Bip01 Spine", 3, 3, 4, 0, 0, 0, 0}, {"Bip01 Pelvis", 0, 0, 0, 1, 0, 0, 0},
    {"Zero", 0, 0, 0, 0, 0, 0, 0}};
}  // namespace

TEST(BoneScale, RatioOfOffsetLengthsWithTheThighsOwnLength) {
    SCALE_FIXTURE f(MODEL, REF, {"0", "3", "1", "0", "4"});
    f.input.leftThighNode = 1;
    f.input.spineNode = 2;
    f.input.thighNamedLeg = false;  // "L Thigh" naming: the spine does not count
    BONE_SCALE_RESULT r = ComputeBoneScales(f.input);
    EXPECT_EQ(r.boneScale[0], 2.0) << "row 0 gets the ratio of the roots, even paired with 0";
    EXPECT_EQ(r.boneScale[1], 2.0);
    EXPECT_EQ(r.boneScale[2], 2.0);
    EXPECT_EQ(r.boneScale[3], 1.0) << "a row other than 0 paired with node 0 gets exactly 1";
    EXPECT_EQ(r.boneScale[4], 0.0) << "a reference bone of zero length gives 0, not a division";
    EXPECT_EQ(r.spineLength, 0.0);
}

TEST(BoneScale, LegNamingAddsTheSpineLengthToTheThighs) {
    SCALE_FIXTURE f(MODEL, REF, {"0", "3", "1", "0", "4"});
    f.input.leftThighNode = 1;
    f.input.spineNode = 2;
    f.input.thighNamedLeg = true;
    BONE_SCALE_RESULT r = ComputeBoneScales(f.input);
    EXPECT_EQ(r.spineLength, 5.0);
    EXPECT_EQ(r.boneScale[2], 24.0 / 13.0);
    EXPECT_EQ(r.boneScale[1], 2.0) << "only the thighs take the spine into account";
}

TEST(BoneScale, WithoutSpineTheLegNamingKeepsThePlainLength) {
    SCALE_FIXTURE f(MODEL, REF, {"0", "3", "1", "0", "4"});
    f.input.leftThighNode = 1;
    f.input.thighNamedLeg = true;
    BONE_SCALE_RESULT r = ComputeBoneScales(f.input);
    EXPECT_EQ(r.spineLength, 0.0);
    EXPECT_EQ(r.boneScale[2], 2.0);
}

TEST(BoneScale, TypedMinusOneIsNoMissingThigh) {
    // Thigh nodes not found are -1; a row typed -1 must not take the thigh correction.
    SCALE_FIXTURE f(MODEL, REF, {"0", "-1", "1", "0", "4"});
    f.input.spineNode = 2;
    f.input.thighNamedLeg = true;
    BONE_SCALE_RESULT r = ComputeBoneScales(f.input);
    EXPECT_EQ(r.boneScale[1], 0.1) << "NODES below 0 measures line 0: 2 / 20";
}

TEST(BoneScale, NodesPastTheReferenceFrameAreRefusedWithTheRow) {
    SCALE_FIXTURE f(MODEL, REF, {"0", "3", "1", "0", "104"});
    try {
        ComputeBoneScales(f.input);
        FAIL() << "accepted";
    } catch (const CVarnexError& e) {
        EXPECT_EQ(e.Text(),
                  "ref.smd:10: ligne 4 de la grille (NODES « 104 ») : la frame « time 0 » n'a que 5 "
                  "lignes de squelette, il n'y a pas de ligne 104");
    }
}
