#include <gtest/gtest.h>

#include "smd_input/skeleton_pairing.h"
#include "test_support.h"

namespace {
std::vector<FRAME_LINE> Nodes(const std::vector<std::pair<std::string, int>>& list) {
    std::vector<FRAME_LINE> lines;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string line = NodeLine(static_cast<int>(i), list[i].first, list[i].second);
        line.resize(line.size() - 2);
        lines.push_back(FRAME_LINE{line, static_cast<int>(i) + 3});
    }
    return lines;
}

PAIRING_STATE StartState() {
    PAIRING_STATE state;
    state.nodeText.fill("0");
    return state;
}
}  // namespace

TEST(BonePairing, FirstPartnerOfAClassWinsAndUnknownBonesPairWithTheRoot) {
    //  model: 0 Bip01(-1)  1 Pelvis  2 Sword  3 Spine  4 Spine
    //  ref:   0 Bip01(-1)  1 Spine   2 Pelvis 3 Spine  4 Hat
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Sword", 1}, {"Bip01 Spine", 1},
                        {"Bip01 Spine", 1}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Spine", 2}, {"Bip01 Pelvis", 0}, {"Bip01 Spine", 2},
                      {"Hat", 1}});
    PAIRING_STATE state = StartState();
    PairSkeletons(model, 5, ref, state);
    EXPECT_EQ(state.nodeText[1], "0");
    EXPECT_EQ(state.nodeText[2], "2");
    EXPECT_EQ(state.nodeText[3], "0") << "Sword is no bone: it pairs with the first class-0 node";
    EXPECT_EQ(state.nodeText[4], "1");
    EXPECT_EQ(state.nodeText[5], "1");
    EXPECT_EQ(state.spineNode, 1);
    EXPECT_EQ(state.leftThighNode, -1);
}

TEST(BonePairing, PairsBothNamingsAndRecordsTheLastLeftThighNaming) {
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Bip01 Spine", 1},
                        {"Bip01 L Thigh", 2}, {"Bip01 L Calf", 3}, {"Bip01 R Thigh", 2},
                        {"Bip01 L UpperArm", 2}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Bip01 L Arm1", 1}, {"Bip01 Spine", 1},
                      {"Bip01 L Leg", 1}, {"Bip01 L Leg1", 4}, {"Bip01 R Leg", 1}});
    PAIRING_STATE state = StartState();
    PairSkeletons(model, 7, ref, state);
    EXPECT_EQ(state.nodeText[4], "4");
    EXPECT_EQ(state.nodeText[5], "5");
    EXPECT_EQ(state.nodeText[6], "6");
    EXPECT_EQ(state.nodeText[7], "2");
    EXPECT_EQ(state.leftThighNode, 4);
    EXPECT_EQ(state.rightThighNode, 6);
    EXPECT_EQ(state.spineNode, 3);
    // Row 5's scan passes "L Leg" (node 4) last; row 6 stops at node 2, before it.
    EXPECT_EQ(state.thighNamedLeg, 1);
}

TEST(BonePairing, NamingFlagFollowsTheClassifyingOrder) {
    // Row 0 (root) stops at ref node 0; row 1 (L Thigh) sets 0, then its scan reaches "L Leg".
    auto model = Nodes({{"Bip01", -1}, {"Bip01 L Thigh", 0}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 L Leg", 0}});
    PAIRING_STATE state = StartState();
    PairSkeletons(model, 2, ref, state);
    EXPECT_EQ(state.thighNamedLeg, 1);
    // Swapped namings: the model's "L Leg" is classified first, then the partner "L Thigh".
    state = StartState();
    PairSkeletons(Nodes({{"Bip01", -1}, {"Bip01 L Leg", 0}}),
                  2, Nodes({{"Bip01", -1}, {"Bip01 L Thigh", 0}}), state);
    EXPECT_EQ(state.thighNamedLeg, 0);
}

TEST(BonePairing, RightToesKeepThreeClassesAndLeftToesOne) {
    auto ref = Nodes({{"Bip01", -1}, {"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}, {"Bip01 L Toe0", 0},
                      {"Bip01 L Toe01", 5}, {"e", 0}, {"f", 0}, {"Bip01 R Toe0", 0},
                      {"Bip01 R Toe01", 9}});
    auto model = Nodes({{"Bip01", -1}, {"Bip01 R Toe0", 0}, {"Bip01 R Toe01", 1},
                        {"Bip01 L Toe0", 0}, {"Bip01 L Toe01", 3}});
    PAIRING_STATE state = StartState();
    PairSkeletons(model, 5, ref, state);
    EXPECT_EQ(state.nodeText[2], "9");
    EXPECT_EQ(state.nodeText[3], "10");
    EXPECT_EQ(state.nodeText[4], "5");
    EXPECT_EQ(state.nodeText[5], "5");
}

TEST(BonePairing, RowsWithoutPartnerAndRowsPastTheCountKeepTheirText) {
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Head", 0}, {"Bip01 Neck", 0}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Neck", 0}});
    PAIRING_STATE state = StartState();
    state.nodeText[2] = "typed";
    state.nodeText[3] = "7";
    state.spineNode = 5;
    PairSkeletons(model, 2, ref, state);
    EXPECT_EQ(state.nodeText[2], "typed");
    EXPECT_EQ(state.nodeText[3], "7") << "row 2 lies past the node count";
    EXPECT_EQ(state.spineNode, 5) << "no spine pair: the earlier value stays";
}
