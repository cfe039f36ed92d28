#include "sample_animation.h"

#include <cmath>

#include "motion/body_parts.h"

namespace varnex {

std::vector<RETARGET_ROW> PairByClass(const SAMPLE_ANIMATION& model,
                                      const SAMPLE_ANIMATION& source) {
    std::vector<int> modelClasses = ClassifyNodes(model.nodes);
    std::vector<int> sourceClasses = ClassifyNodes(source.nodes);
    auto length = [](const POSE& p) { return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z); };
    std::vector<RETARGET_ROW> rows(model.nodes.size());
    for (std::size_t row = 0; row < rows.size(); ++row) {
        int partner = FirstNodeOfClass(sourceClasses, modelClasses[row]);
        rows[row].nodes = partner < 0 ? 0 : partner;
        int line = RowSourceLine(static_cast<int>(row), rows[row].nodes);
        if (line != ROW_KEEPS_REST) {
            rows[row].boneScale = length(model.frames[0][row]) /
                                  length(source.frames[0][static_cast<std::size_t>(line)]);
        }
    }
    return rows;
}

}  // namespace varnex
