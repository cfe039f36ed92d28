#include "pairing/skeleton_pairing.h"

#include <algorithm>

#include "pairing/bone_classifier.h"

namespace varnex {

PAIRING PairSkeletons(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                      const std::vector<SMD_NODE>& refAnimNodes, const BIPED_MARKS& marks) {
    PAIRING result;
    result.marks = marks;
    int rows = std::max(0, std::min<int>(rowCount, static_cast<int>(modelNodes.size())));
    result.partner.assign(static_cast<std::size_t>(rows), -1);
    // Each line is classified once; the naming flag then follows the order in which the rows
    // would classify them: the model line, then the partners from the first up to the match.
    std::vector<NODE_CLASS> partners;
    partners.reserve(refAnimNodes.size());
    for (const SMD_NODE& node : refAnimNodes) partners.push_back(ClassifyNode(node.name, node.parent));

    BIPED_MARKS& m = result.marks;
    for (int i = 0; i < rows; ++i) {
        const SMD_NODE& node = modelNodes[static_cast<std::size_t>(i)];
        NODE_CLASS model = ClassifyNode(node.name, node.parent);
        if (model.naming != NO_NAMING) m.thighNamedLeg = model.naming == NAMED_LEG;
        for (std::size_t j = 0; j < partners.size(); ++j) {
            if (partners[j].naming != NO_NAMING) m.thighNamedLeg = partners[j].naming == NAMED_LEG;
            if (partners[j].boneClass != model.boneClass) continue;
            int partner = static_cast<int>(j);
            if (partner >= BLEND_OFFSET) {
                result.beyondNodes.push_back(i);
                break;
            }
            result.partner[static_cast<std::size_t>(i)] = partner;
            if (model.boneClass == BONE_LEFT_THIGH) m.leftThigh = partner;
            if (model.boneClass == BONE_RIGHT_THIGH) m.rightThigh = partner;
            if (model.boneClass == BONE_SPINE) m.spine = partner;
            break;
        }
    }
    return result;
}

std::vector<int> SameNamePartners(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                                  const std::vector<SMD_NODE>& refAnimNodes, const GRID& grid) {
    int rows = std::max(0, std::min({rowCount, static_cast<int>(modelNodes.size()),
                                     static_cast<int>(grid.size())}));
    std::vector<int> partner(static_cast<std::size_t>(rows), -1);
    int reachable = std::min(static_cast<int>(refAnimNodes.size()), BLEND_OFFSET);
    for (int i = 1; i < rows; ++i) {
        std::size_t r = static_cast<std::size_t>(i);
        if (grid[r].nodes != 0) continue;
        for (int j = 0; j < reachable; ++j) {
            if (refAnimNodes[static_cast<std::size_t>(j)].name == modelNodes[r].name) {
                partner[r] = j;
                break;
            }
        }
    }
    return partner;
}

}  // namespace varnex
