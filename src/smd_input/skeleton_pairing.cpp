#include "smd_input/skeleton_pairing.h"

#include <algorithm>
#include <string>

#include "smd_input/bone_classifier.h"

namespace {
constexpr int NO_NAMING = -1;

struct CLASSIFIED {
    int boneClass;
    int naming;  // what the classifier wrote into the naming flag, or NO_NAMING
};

CLASSIFIED Classify(const FRAME_LINE& line) {
    int naming = NO_NAMING;
    int boneClass = ClassifyBone(BehindNodeNumber(line.text), naming);
    return CLASSIFIED{boneClass, naming};
}
}  // namespace

void PairSkeletons(const std::vector<FRAME_LINE>& modelNodes, int rowCount,
                   const std::vector<FRAME_LINE>& refAnimNodes, PAIRING_STATE& state) {
    // Each line is classified once; the naming flag then follows the order in which the rows
    // would classify them: the model line, then the partners from the first up to the match.
    std::vector<CLASSIFIED> partners;
    partners.reserve(refAnimNodes.size());
    for (const FRAME_LINE& line : refAnimNodes) partners.push_back(Classify(line));

    int rows = std::min<int>(rowCount, static_cast<int>(modelNodes.size()));
    for (int i = 0; i < rows; ++i) {
        CLASSIFIED model = Classify(modelNodes[static_cast<std::size_t>(i)]);
        if (model.naming != NO_NAMING) state.thighNamedLeg = model.naming;
        for (std::size_t j = 0; j < partners.size(); ++j) {
            if (partners[j].naming != NO_NAMING) state.thighNamedLeg = partners[j].naming;
            if (partners[j].boneClass != model.boneClass) continue;
            int partner = static_cast<int>(j);
            state.nodeText[static_cast<std::size_t>(i) + 1] = std::to_string(partner);
            if (model.boneClass == BONE_LEFT_THIGH) state.leftThighNode = partner;
            if (model.boneClass == BONE_RIGHT_THIGH) state.rightThighNode = partner;
            if (model.boneClass == BONE_SPINE) state.spineNode = partner;
            break;
        }
    }
}
