#include <gtest/gtest.h>

#include "pairing/skeleton_pairing.h"
#include "test_support.h"

namespace varnex {
namespace {
std::vector<SMD_NODE> Nodes(const std::vector<std::pair<std::string, int>>& list) {
    std::vector<SMD_NODE> nodes;
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string line = NodeLine(static_cast<int>(i), list[i].first, list[i].second);
        nodes.push_back(ParseNodeLine(line.substr(0, line.size() - 2), static_cast<int>(i) + 3));
    }
    return nodes;
}
}  // namespace

TEST(BonePairing, FirstPartnerOfAClassWinsAndUnknownBonesPairWithTheRoot) {
    //  model: 0 Bip01(-1)  1 Pelvis  2 Sword  3 Spine  4 Spine
    //  ref:   0 Bip01(-1)  1 Spine   2 Pelvis 3 Spine  4 Hat
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Sword", 1}, {"Bip01 Spine", 1},
                        {"Bip01 Spine", 1}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Spine", 2}, {"Bip01 Pelvis", 0}, {"Bip01 Spine", 2},
                      {"Hat", 1}});
    PAIRING p = PairSkeletons(model, 5, ref, BIPED_MARKS{});
    EXPECT_EQ(p.partner, (std::vector<int>{0, 2, 0, 1, 1})) << "Sword pairs with the first class-0 node";
    EXPECT_EQ(p.marks.spine, 1);
    EXPECT_EQ(p.marks.leftThigh, -1);
}

TEST(BonePairing, PairsBothNamingsAndRecordsTheLastLeftThighNaming) {
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Bip01 Spine", 1},
                        {"Bip01 L Thigh", 2}, {"Bip01 L Calf", 3}, {"Bip01 R Thigh", 2},
                        {"Bip01 L UpperArm", 2}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Pelvis", 0}, {"Bip01 L Arm1", 1}, {"Bip01 Spine", 1},
                      {"Bip01 L Leg", 1}, {"Bip01 L Leg1", 4}, {"Bip01 R Leg", 1}});
    PAIRING p = PairSkeletons(model, 7, ref, BIPED_MARKS{});
    EXPECT_EQ(p.partner, (std::vector<int>{0, 1, 3, 4, 5, 6, 2}));
    EXPECT_EQ(p.marks.leftThigh, 4);
    EXPECT_EQ(p.marks.rightThigh, 6);
    EXPECT_EQ(p.marks.spine, 3);
    // Row 5's scan passes "L Leg" (node 4) last; row 6 stops at node 2, before it.
    EXPECT_TRUE(p.marks.thighNamedLeg);
    // Swapped namings: the model's "L Leg" is classified first, then the partner "L Thigh".
    p = PairSkeletons(Nodes({{"Bip01", -1}, {"Bip01 L Leg", 0}}), 2,
                      Nodes({{"Bip01", -1}, {"Bip01 L Thigh", 0}}), BIPED_MARKS{});
    EXPECT_FALSE(p.marks.thighNamedLeg);
}

TEST(BonePairing, RightToesKeepThreeClassesAndLeftToesOne) {
    auto ref = Nodes({{"Bip01", -1}, {"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}, {"Bip01 L Toe0", 0},
                      {"Bip01 L Toe01", 5}, {"e", 0}, {"f", 0}, {"Bip01 R Toe0", 0},
                      {"Bip01 R Toe01", 9}});
    auto model = Nodes({{"Bip01", -1}, {"Bip01 R Toe0", 0}, {"Bip01 R Toe01", 1},
                        {"Bip01 L Toe0", 0}, {"Bip01 L Toe01", 3}});
    EXPECT_EQ(PairSkeletons(model, 5, ref, BIPED_MARKS{}).partner, (std::vector<int>{0, 9, 10, 5, 5}));
}

TEST(BonePairing, RowsWithoutPartnerStayUnpairedAndMarksWithoutPairKeepTheirValue) {
    auto model = Nodes({{"Bip01", -1}, {"Bip01 Head", 0}, {"Bip01 Neck", 0}});
    auto ref = Nodes({{"Bip01", -1}, {"Bip01 Neck", 0}});
    BIPED_MARKS before;
    before.spine = 5;
    PAIRING p = PairSkeletons(model, 2, ref, before);
    EXPECT_EQ(p.partner, (std::vector<int>{0, -1})) << "row 2 lies past the node count";
    EXPECT_EQ(p.marks.spine, 5);
}

}  // namespace varnex
