#include "pairing/animation_nodes.h"

#include <algorithm>
#include <unordered_map>

#include "pairing/grid.h"

#include "platform/varnex_error.h"

namespace varnex {

namespace {
bool SameNames(const std::vector<SMD_NODE>& a, const std::vector<SMD_NODE>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name) return false;
    }
    return true;
}
}  // namespace

std::vector<int> SourcesRead(std::span<const DECODED_ROW> rows) {
    std::vector<int> read;
    for (const DECODED_ROW& row : rows) {
        if (row.source != REST_LINE) read.push_back(row.source);
    }
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    return read;
}

ANIMATION_NODES MapAnimationNodes(const std::vector<SMD_NODE>& refNodes,
                                  const std::vector<SMD_NODE>& animNodes,
                                  const std::vector<int>& sourcesRead,
                                  const std::string& animSource) {
    ANIMATION_NODES map;
    // An animation without a node list can only be on the reference animation's skeleton.
    map.keys = animNodes.empty() ? refNodes : animNodes;
    if (animNodes.empty() || SameNames(refNodes, animNodes)) return map;

    map.sameList = false;
    std::unordered_map<std::string, std::size_t> placeOfName;
    for (std::size_t i = 0; i < animNodes.size(); ++i) placeOfName.emplace(animNodes[i].name, i);
    std::unordered_map<std::string, bool> inReference;
    map.placeOfSource.assign(refNodes.size(), ANIMATION_NODES::NOT_IN_ANIMATION);
    for (std::size_t r = 0; r < refNodes.size(); ++r) {
        inReference.emplace(refNodes[r].name, true);
        auto found = placeOfName.find(refNodes[r].name);
        if (found != placeOfName.end()) map.placeOfSource[r] = found->second;
    }
    for (const SMD_NODE& node : animNodes) {
        if (inReference.find(node.name) == inReference.end()) map.unused.push_back(node.name);
    }
    std::string missing;
    int missingCount = 0;
    std::vector<bool> named(refNodes.size() + 1, false);
    for (int source : sourcesRead) {
        if (map.PlaceOf(source) != ANIMATION_NODES::NOT_IN_ANIMATION) continue;
        std::size_t s = static_cast<std::size_t>(source);
        // A node the reference animation does not have is named by its number.
        std::size_t mark = s < refNodes.size() ? s : refNodes.size();
        if (mark < refNodes.size() && named[mark]) continue;
        named[mark] = true;
        missing += missing.empty() ? "" : "\n";
        missing += s < refNodes.size() ? refNodes[s].name : std::to_string(s);
        ++missingCount;
    }
    if (missingCount > 0) {
        throw CVarnexError(ERROR_KIND::ANIMATION_LACKS_NODES, animSource, 0,
                           {std::to_string(missingCount), missing});
    }
    return map;
}

}  // namespace varnex
