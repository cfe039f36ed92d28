#include "pairing/skeleton_pairing.h"

#include <algorithm>
#include <string>

#include "pairing/bone_classifier.h"

namespace varnex {

namespace {
struct PAIRING_CLASS {
    NODE_CLASS node;
    int rank = 0;  // which of the bones of one class the rules tell apart; 0 without rules
};

// 1 + the number written right after "Neck" ("Neck1" 2), 0 for an unnumbered neck.
int NeckRank(const std::string& name) {
    std::size_t at = name.find("Neck");
    if (at == std::string::npos) return 0;
    int number = -1;
    for (at += 4; at < name.size() && name[at] >= '0' && name[at] <= '9' && number < 100000; ++at) {
        number = std::max(number, 0) * 10 + (name[at] - '0');
    }
    return number + 1;
}

std::vector<PAIRING_CLASS> ClassifySkeleton(const std::vector<SMD_NODE>& nodes,
                                            const PAIRING_RULES& rules) {
    std::vector<PAIRING_CLASS> classes;
    classes.reserve(nodes.size());
    bool unnumberedNeck = false;
    for (const SMD_NODE& node : nodes) {
        PAIRING_CLASS c{ClassifyNode(node.name, node.parent), 0};
        if (rules.leftToesApart && c.node.boneClass == BONE_LEFT_TOE) {
            std::string name = PairingName(node.name, node.parent);
            // In the order the right toes' literals are tested.
            if (name.find("L Toe01") != std::string::npos) {
                c.rank = 1;
            } else if (name.find("L Toe02") != std::string::npos) {
                c.rank = 2;
            }
        }
        if (rules.numberedNecks && c.node.boneClass == BONE_NECK) {
            c.rank = NeckRank(PairingName(node.name, node.parent));
            if (c.rank == 0) unnumberedNeck = true;
        }
        classes.push_back(c);
    }
    // Without an unnumbered neck, a numbered one is the neck.
    if (!unnumberedNeck) {
        for (PAIRING_CLASS& c : classes) {
            if (c.node.boneClass == BONE_NECK) c.rank = 0;
        }
    }
    return classes;
}

bool IsAncestor(const std::vector<SMD_NODE>& nodes, int ancestor, int node) {
    int p = nodes[static_cast<std::size_t>(node)].parent;
    // Bounded by the node count, whatever the parents say.
    for (std::size_t steps = 0;
         p >= 0 && p < static_cast<int>(nodes.size()) && steps < nodes.size(); ++steps) {
        if (p == ancestor) return true;
        p = nodes[static_cast<std::size_t>(p)].parent;
    }
    return false;
}

// Whether source node j is already given to another row of row i's chain; given: each row's
// source node, or -1 (partner 0 on rows but 0 is the rest line, given to none).
bool GivenInChain(const std::vector<SMD_NODE>& modelNodes, const std::vector<int>& given, int i,
                  int j) {
    if (j == 0) return false;
    for (int r = 0; r < static_cast<int>(given.size()); ++r) {
        if (r == i || given[static_cast<std::size_t>(r)] != j) continue;
        if (IsAncestor(modelNodes, r, i) || IsAncestor(modelNodes, i, r)) return true;
    }
    return false;
}
}  // namespace

PAIRING PairSkeletons(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                      const std::vector<SMD_NODE>& refAnimNodes, const BIPED_MARKS& marks,
                      const PAIRING_RULES& rules) {
    PAIRING result;
    result.marks = marks;
    int rows = std::max(0, std::min<int>(rowCount, static_cast<int>(modelNodes.size())));
    result.partner.assign(static_cast<std::size_t>(rows), -1);
    // Each line is classified once; the naming flag then follows the order in which the rows
    // would classify them: the model line, then the partners from the first up to the match.
    std::vector<PAIRING_CLASS> models = ClassifySkeleton(modelNodes, rules);
    std::vector<PAIRING_CLASS> partners = ClassifySkeleton(refAnimNodes, rules);

    BIPED_MARKS& m = result.marks;
    for (int i = 0; i < rows; ++i) {
        const PAIRING_CLASS& model = models[static_cast<std::size_t>(i)];
        if (model.node.naming != NO_NAMING) m.thighNamedLeg = model.node.naming == NAMED_LEG;
        for (std::size_t j = 0; j < partners.size(); ++j) {
            if (partners[j].node.naming != NO_NAMING) {
                m.thighNamedLeg = partners[j].node.naming == NAMED_LEG;
            }
            if (partners[j].node.boneClass != model.node.boneClass ||
                partners[j].rank != model.rank) {
                continue;
            }
            int partner = static_cast<int>(j);
            if (rules.onePartnerPerChain && GivenInChain(modelNodes, result.partner, i, partner)) {
                continue;
            }
            if (partner >= BLEND_OFFSET) {
                result.beyondNodes.push_back(i);
                break;
            }
            result.partner[static_cast<std::size_t>(i)] = partner;
            if (model.node.boneClass == BONE_LEFT_THIGH) m.leftThigh = partner;
            if (model.node.boneClass == BONE_RIGHT_THIGH) m.rightThigh = partner;
            if (model.node.boneClass == BONE_SPINE) m.spine = partner;
            break;
        }
    }
    return result;
}

std::vector<int> SameNamePartners(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                                  const std::vector<SMD_NODE>& refAnimNodes, const GRID& grid,
                                  const PAIRING_RULES& rules) {
    int rows = std::max(0, std::min({rowCount, static_cast<int>(modelNodes.size()),
                                     static_cast<int>(grid.size())}));
    std::vector<int> partner(static_cast<std::size_t>(rows), -1);
    int reachable = std::min(static_cast<int>(refAnimNodes.size()), BLEND_OFFSET);
    std::vector<int> given;
    if (rules.onePartnerPerChain) {
        for (int i = 0; i < rows; ++i) {
            const GRID_ROW& row = grid[static_cast<std::size_t>(i)];
            given.push_back(DecodeRow(i, RETARGET_ROW{row.nodes, row.correction}).source);
        }
    }
    for (int i = 1; i < rows; ++i) {
        std::size_t r = static_cast<std::size_t>(i);
        if (grid[r].nodes != 0) continue;
        for (int j = 0; j < reachable; ++j) {
            if (refAnimNodes[static_cast<std::size_t>(j)].name != modelNodes[r].name) continue;
            if (rules.onePartnerPerChain) {
                if (GivenInChain(modelNodes, given, i, j)) continue;
                given[r] = j;
            }
            partner[r] = j;
            break;
        }
    }
    return partner;
}

}  // namespace varnex
