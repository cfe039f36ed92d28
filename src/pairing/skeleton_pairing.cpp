#include "pairing/skeleton_pairing.h"

#include <algorithm>

#include "pairing/bone_classifier.h"

namespace varnex {

namespace {
constexpr int NO_NAMING = -1;

struct CLASSIFIED {
    int boneClass;
    int naming;  // what the classifier wrote into the naming flag, or NO_NAMING
};

CLASSIFIED Classify(const SMD_NODE& node) {
    int naming = NO_NAMING;
    int boneClass = ClassifyBone(BehindNodeNumber(node.text), naming);
    return CLASSIFIED{boneClass, naming};
}
}  // namespace

PAIRING PairSkeletons(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                      const std::vector<SMD_NODE>& refAnimNodes, const BIPED_MARKS& marks) {
    PAIRING result;
    result.marks = marks;
    int rows = std::max(0, std::min<int>(rowCount, static_cast<int>(modelNodes.size())));
    result.partner.assign(static_cast<std::size_t>(rows), -1);
    // Each line is classified once; the naming flag then follows the order in which the rows
    // would classify them: the model line, then the partners from the first up to the match.
    std::vector<CLASSIFIED> partners;
    partners.reserve(refAnimNodes.size());
    for (const SMD_NODE& node : refAnimNodes) partners.push_back(Classify(node));

    BIPED_MARKS& m = result.marks;
    for (int i = 0; i < rows; ++i) {
        CLASSIFIED model = Classify(modelNodes[static_cast<std::size_t>(i)]);
        if (model.naming != NO_NAMING) m.thighNamedLeg = model.naming != 0;
        for (std::size_t j = 0; j < partners.size(); ++j) {
            if (partners[j].naming != NO_NAMING) m.thighNamedLeg = partners[j].naming != 0;
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
