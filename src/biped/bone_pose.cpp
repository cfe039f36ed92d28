#include "biped/bone_pose.h"

#include <cmath>

#include "smd_input/decimal_text.h"
#include "platform/varnex_error.h"
#include "smd_input/number_text.h"
#include "smd_input/smd_reader.h"

namespace varnex {

namespace {
constexpr double HALF_TURN = 3.14159;
constexpr double FULL_TURN = 6.28318;
}  // namespace

BonePose ParseBonePose(std::string_view line, const std::string& source, int lineNumber) {
    FRAME_FIELDS f = ParseFrameFields(line, source, lineNumber);
    return BonePose{TextToDouble(f.x),  TextToDouble(f.y),  TextToDouble(f.z),
                    TextToDouble(f.rx), TextToDouble(f.ry), TextToDouble(f.rz)};
}

std::string TransformThighLine(std::string_view line, const BonePose& frameSpine,
                               const BonePose& restSpine, const std::string& source,
                               int lineNumber) {
    FRAME_FIELDS f = ParseFrameFields(line, source, lineNumber);
    BonePose p = ParseBonePose(line, source, lineNumber);
    double values[6] = {
        p.x - frameSpine.x,
        p.y - frameSpine.y,
        p.z - frameSpine.z,
        p.rx - (frameSpine.rx - restSpine.rx),
        p.ry - (frameSpine.ry - restSpine.ry),
        p.rz - (frameSpine.rz - restSpine.rz),
    };
    // One step each way, not a full reduction: the angles are only brought back across one turn.
    for (int i = 3; i < 6; ++i) {
        if (values[i] < -HALF_TURN) values[i] = values[i] + FULL_TURN;
    }
    for (int i = 3; i < 6; ++i) {
        if (values[i] > HALF_TURN) values[i] = values[i] - FULL_TURN;
    }
    std::string out;
    if (f.number.size() < 3) out.append(3 - f.number.size(), ' ');
    out.append(f.number);
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(values[i])) {
            throw CVarnexError(ERROR_KIND::THIGH_VALUE_NOT_FINITE, source, lineNumber);
        }
        out += ' ';
        AppendDecimalText(out, values[i]);
    }
    return out;
}

}  // namespace varnex
