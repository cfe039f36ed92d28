// Pairing the nodes of the reference model with those of the reference animation.
#pragma once

#include <vector>

#include "pairing/grid.h"
#include "smd_input/smd_reader.h"

namespace varnex {

struct PAIRING {
    std::vector<int> partner;  // per row: the source node paired with it, or -1
    BIPED_MARKS marks;         // as found; the special nodes without a pair keep their values
    std::vector<int> beyondNodes;  // rows whose partner is node 100 or above, which NODES cannot
                                   // name (NODES + 100 blends): left unpaired
};

// For each of the first rowCount model nodes, the first reference animation node of the same
// bone class is its partner. Nodes are classified from behind their node number, in the order
// rows then partners, so that the naming mark ends with the naming of the last left thigh
// classified.
PAIRING PairSkeletons(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                      const std::vector<SMD_NODE>& refAnimNodes, const BIPED_MARKS& marks);

// For each of the first rowCount rows but row 0 whose NODES is 0 (no biped class paired it): the
// first reference animation node of exactly the model node's name, when NODES can name it; else
// -1.
std::vector<int> SameNamePartners(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                                  const std::vector<SMD_NODE>& refAnimNodes, const GRID& grid);

}  // namespace varnex
