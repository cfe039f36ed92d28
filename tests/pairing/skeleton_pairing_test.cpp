#include <gtest/gtest.h>

#include <map>

#include "pairing/skeleton_pairing.h"
#include "sample_families.h"
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

// A generated family's nodes with some renamed and, on request, "Toe01" and "Toe02" below each
// toe.
std::vector<SMD_NODE> FamilyNodes(const FAMILY_SHAPE& shape,
                                  const std::map<std::string, std::string>& renames = {},
                                  bool toeJoints = false) {
    std::vector<std::pair<std::string, int>> list;
    for (const SAMPLE_NODE& node : FamilySkeleton(shape).nodes) {
        list.emplace_back(node.name, node.parent);
    }
    for (std::string side : {"L", "R"}) {
        if (!toeJoints) break;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i].first != "Bip01 " + side + " Toe0") continue;
            list.emplace_back("Bip01 " + side + " Toe01", static_cast<int>(i));
            list.emplace_back("Bip01 " + side + " Toe02", static_cast<int>(list.size()) - 1);
            break;
        }
    }
    for (auto& [name, parent] : list) {
        auto renamed = renames.find(name);
        if (renamed != renames.end()) name = renamed->second;
    }
    return Nodes(list);
}

int Find(const std::vector<SMD_NODE>& nodes, const std::string& name) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].name == name) return static_cast<int>(i);
    }
    return -1;
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

// The world method's rules on generated skeletons: left toes apart as the right ones, "Neck1" a
// second neck only beside a "Neck", and one source node per chain, the next of its class taken.
TEST(BonePairing, WorldRulesTellLeftToesAndNumberedNecksApart) {
    FAMILY_SHAPE extra;
    extra.extraNeck = true;
    const auto both = FamilyNodes(extra, {}, true);  // "Neck" and "Neck1", toes with two joints
    const auto neck1 = FamilyNodes(FAMILY_SHAPE{}, {{"Bip01 Neck", "Bip01 Neck1"}});
    const auto numbered =
        FamilyNodes(extra, {{"Bip01 Neck", "Bip01 Neck1"}, {"Bip01 Neck1", "Bip01 Neck2"}});
    const auto noToe01 = FamilyNodes(
        extra, {{"Bip01 L Toe01", "Bip01 L Nail"}, {"Bip01 R Toe01", "Bip01 R Nail"}}, true);
    // The partner of the model node named `row`, by its name in the source; "-" for none.
    auto partner = [](const std::vector<SMD_NODE>& model, const std::vector<SMD_NODE>& source,
                      const PAIRING_RULES& rules, const std::string& row) -> std::string {
        PAIRING p =
            PairSkeletons(model, static_cast<int>(model.size()), source, BIPED_MARKS{}, rules);
        int n = p.partner[static_cast<std::size_t>(Find(model, row))];
        return n < 0 ? "-" : source[static_cast<std::size_t>(n)].name;
    };
    const PAIRING_RULES local;
    const PAIRING_RULES world = WORLD_PAIRING_RULES;
    for (const SMD_NODE& node : both) EXPECT_EQ(partner(both, both, world, node.name), node.name);
    EXPECT_EQ(partner(both, both, local, "Bip01 Neck1"), "Bip01 Neck");
    EXPECT_EQ(partner(both, both, local, "Bip01 L Toe02"), "Bip01 L Toe0");
    for (std::string side : {"L", "R"}) {
        EXPECT_EQ(partner(both, noToe01, world, "Bip01 " + side + " Toe01"), "-");
        std::string toe02 = "Bip01 " + side + " Toe02";
        EXPECT_EQ(partner(both, noToe01, world, toe02), toe02);
    }

    EXPECT_EQ(partner(neck1, both, world, "Bip01 Neck1"), "Bip01 Neck");
    EXPECT_EQ(partner(both, numbered, world, "Bip01 Neck"), "Bip01 Neck1");
    EXPECT_EQ(partner(both, numbered, world, "Bip01 Neck1"), "-");
    // Nor does a same name give it the source's "Neck1", which the neck reads.
    PAIRING paired = PairSkeletons(both, static_cast<int>(both.size()), numbered, {}, world);
    GRID grid(both.size());
    for (std::size_t r = 0; r < grid.size(); ++r) grid[r].nodes = std::max(paired.partner[r], 0);
    const std::size_t row = static_cast<std::size_t>(Find(both, "Bip01 Neck1"));
    const int rows = static_cast<int>(both.size());
    EXPECT_EQ(SameNamePartners(both, rows, numbered, grid)[row], Find(numbered, "Bip01 Neck1"));
    EXPECT_EQ(SameNamePartners(both, rows, numbered, grid, world)[row], -1);

    // Without a "Neck", both numbered necks are the neck: one source node each.
    EXPECT_EQ(partner(numbered, neck1, local, "Bip01 Neck2"), "Bip01 Neck1");
    EXPECT_EQ(partner(numbered, neck1, world, "Bip01 Neck2"), "-");
    EXPECT_EQ(partner(numbered, numbered, world, "Bip01 Neck2"), "Bip01 Neck2");
}

}  // namespace varnex
