// An animation read through its own node list: its nodes matched by name to those of the
// reference animation, whose node numbers the grid's NODES values name.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "pairing/grid.h"
#include "smd_input/smd_reader.h"

namespace varnex {

struct ANIMATION_NODES {
    // The node list the animation's frame lines are keyed by: its own, or the reference
    // animation's when it has none.
    std::vector<SMD_NODE> keys;
    // The reference animation's names in its order (parents aside): each source node is read at
    // its own place, as when both files are one skeleton.
    bool sameList = true;
    // Otherwise, for each reference node, the place of the animation's node of that name
    // (NOT_IN_ANIMATION when it has none).
    static constexpr std::size_t NOT_IN_ANIMATION = static_cast<std::size_t>(-1);
    std::vector<std::size_t> placeOfSource;
    // The animation's nodes that the reference animation lacks: never read.
    std::vector<std::string> unused;

    // Where the line of reference node `source` stands among the animation's nodes.
    std::size_t PlaceOf(int source) const {
        if (sameList) return static_cast<std::size_t>(source);
        std::size_t s = static_cast<std::size_t>(source);
        return s < placeOfSource.size() ? placeOfSource[s] : NOT_IN_ANIMATION;
    }
};

// The reference animation's nodes that rows read, each once, in order.
std::vector<int> SourcesRead(std::span<const DECODED_ROW> rows);

// Matches the animation's node list to the reference animation's. sourcesRead: the reference
// nodes the grid reads. Throws CVarnexError (ANIMATION_LACKS_NODES, naming animSource) when the
// lists differ and the animation lacks one of them.
ANIMATION_NODES MapAnimationNodes(const std::vector<SMD_NODE>& refNodes,
                                  const std::vector<SMD_NODE>& animNodes,
                                  const std::vector<int>& sourcesRead,
                                  const std::string& animSource);

}  // namespace varnex
