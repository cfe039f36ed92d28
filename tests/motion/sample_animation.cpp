#include "sample_animation.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "motion/body_parts.h"
#include "smd_input/number_text.h"

namespace varnex {

SAMPLE_ANIMATION ReadSample(const std::string& name, const std::string& dir) {
    std::string path = std::string(VARNEX_SOURCE_DIR) + "/" + dir + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    SAMPLE_ANIMATION smd;
    enum { HEAD, NODES, FRAMES } part = HEAD;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "nodes" || line == "skeleton") {
            part = line == "nodes" ? NODES : FRAMES;
        } else if (line == "end") {
            part = HEAD;
        } else if (part == NODES) {
            std::size_t open = line.find('"'), close = line.rfind('"');
            smd.nodes.push_back({line.substr(open + 1, close - open - 1),
                                 TextToInt(std::string_view(line).substr(close + 1))});
        } else if (part == FRAMES && line.rfind("time", 0) == 0) {
            smd.frames.emplace_back();
        } else if (part == FRAMES) {
            std::istringstream fields(line);
            std::string number, v[6];
            fields >> number >> v[0] >> v[1] >> v[2] >> v[3] >> v[4] >> v[5];
            smd.frames.back().push_back({TextToDouble(v[0]), TextToDouble(v[1]), TextToDouble(v[2]),
                                         TextToDouble(v[3]), TextToDouble(v[4]),
                                         TextToDouble(v[5])});
        }
    }
    return smd;
}

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
