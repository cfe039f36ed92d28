// Pairing the nodes of the reference model with those of the reference animation.
#pragma once

#include <vector>

#include "platform/dialog_platform.h"
#include "smd_input/smd_reader.h"

struct PAIRING_STATE {
    GRID_TEXTS nodeText;      // NODES column; paired rows receive their partner's number
    int leftThighNode = -1;   // set when a pair of class 47 is made
    int rightThighNode = -1;  // class 51
    int spineNode = -1;       // class 2
    int thighNamedLeg = 0;    // the classifier's record of the last left thigh classified
};

// For each of the first rowCount model node lines, the first reference animation node line of
// the same bone class is its partner: its ordinal goes into row i's NODES text. Lines are
// classified from behind their node number, in the order rows then partners, so that
// thighNamedLeg ends with the naming of the last left thigh classified. Rows without a partner,
// and the special nodes without a pair, keep their values.
void PairSkeletons(const std::vector<FRAME_LINE>& modelNodes, int rowCount,
                   const std::vector<FRAME_LINE>& refAnimNodes, PAIRING_STATE& state);
