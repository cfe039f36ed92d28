#include "smd_input/rest_pose.h"

#include "platform/varnex_error.h"
#include "smd_input/frame_keys.h"
#include "smd_input/number_text.h"
#include "smd_input/smd_reader.h"

namespace varnex {

namespace {
[[noreturn]] void NotANumber(std::string_view field, const std::string& source, int lineNumber) {
    throw CVarnexError(ERROR_KIND::NOT_A_NUMBER, source, lineNumber, {PrintableText(field)});
}
}  // namespace

void REST_POSE_LINE::RequireComplete(const std::string& source) const {
    // The line is split again only to word the refusal as every frame line's.
    if (!complete) ParseFrameFields(text, source, lineNumber);
}

void REST_POSE_LINE::RequireDecimal(int first, int last, const std::string& source) const {
    RequireComplete(source);
    for (int n = first; n <= last; ++n) {
        if (!IsDecimalNumber(Field(n))) NotANumber(Field(n), source, lineNumber);
    }
}

void REST_POSE_LINE::RequireNumbers(const std::string& source) const {
    RequireComplete(source);
    for (int n = 1; n <= 3; ++n) {
        if (!IsNumberField(Field(n))) NotANumber(Field(n), source, lineNumber);
    }
    RequireDecimal(4, 6, source);
}

REST_POSE ReadRestPose(const std::vector<FRAME_LINE>& lines) {
    REST_POSE rest;
    rest.lines.reserve(lines.size());
    for (const FRAME_LINE& line : lines) {
        REST_POSE_LINE& r = rest.lines.emplace_back();
        r.text = line.text;
        r.lineNumber = line.lineNumber;
        try {
            FRAME_FIELDS f = ParseFrameFields(line.text, std::string(), line.lineNumber);
            r.complete = true;
            r.fields = {std::string(f.number), std::string(f.x),  std::string(f.y),
                        std::string(f.z),      std::string(f.rx), std::string(f.ry),
                        std::string(f.rz)};
            for (std::size_t n = 0; n < 6; ++n) r.values[n] = TextToDouble(r.fields[n + 1]);
        } catch (const CVarnexError&) {
            // Refused by the reader that needs the line (RequireComplete), not here.
        }
    }
    return rest;
}

}  // namespace varnex
