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

// What the pairing tells apart beyond the bone classes. The default is the pairing of the local
// method; the world method points each bone at its paired descendant, which a bone paired with
// another's node bends.
struct PAIRING_RULES {
    // "L Toe01" and "L Toe02" pair only with their own names, as "R Toe01" and "R Toe02" do,
    // rather than all three left toes with the first left toe.
    bool leftToesApart = false;
    // In a skeleton that also has an unnumbered "Neck", "Neck1", "Neck2"... are further necks,
    // each paired only with a neck of its number; in one without, a numbered neck is the neck.
    bool numberedNecks = false;
    // A source node is given to no two rows of which one is the other's ancestor: such a row
    // takes the next source node of its class, or stays unpaired. Partner 0 on a row other than 0
    // (the model's rest line) is given to none.
    bool onePartnerPerChain = false;
};
inline constexpr PAIRING_RULES WORLD_PAIRING_RULES{true, true, true};

// For each of the first rowCount model nodes, the first reference animation node of the same
// bone class is its partner. Nodes are classified from behind their node number, in the order
// rows then partners, so that the naming mark ends with the naming of the last left thigh
// classified. rules as above; the default pairs as the local method always has.
PAIRING PairSkeletons(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                      const std::vector<SMD_NODE>& refAnimNodes, const BIPED_MARKS& marks,
                      const PAIRING_RULES& rules = PAIRING_RULES{});

// For each of the first rowCount rows but row 0 whose NODES is 0 (no biped class paired it): the
// first reference animation node of exactly the model node's name, when NODES can name it; else
// -1. With rules.onePartnerPerChain, not a node that a row of its chain reads already.
std::vector<int> SameNamePartners(const std::vector<SMD_NODE>& modelNodes, int rowCount,
                                  const std::vector<SMD_NODE>& refAnimNodes, const GRID& grid,
                                  const PAIRING_RULES& rules = PAIRING_RULES{});

}  // namespace varnex
