#include "retarget/node_line.h"

#include <cmath>
#include <cstring>

#include "smd_input/decimal_text.h"
#include "smd_input/frame_keys.h"
#include "platform/varnex_error.h"
#include "smd_input/number_text.h"
#include "smd_input/usual_number.h"

namespace varnex {

namespace {
void AppendNodeNumber(std::string& out, std::string_view number) {
    if (number.size() < 3) out.append(3 - number.size(), ' ');
    out.append(number);
}

void AppendRowPrefix(std::string& out, int row) {
    out += ' ';
    if (row < 10) out += ' ';
    out += std::to_string(row);
    out += ' ';
}

// Usual positions are below 1e9: with factors below 1e100 every product stays far from overflow.
bool FiniteForUsual(const ROW_PLAN& plan) {
    constexpr double LIMIT = 1e100;
    for (double factor :
         {plan.boneScale, plan.correction, plan.rest.x, plan.rest.y, plan.rest.z}) {
        if (!(std::fabs(factor) < LIMIT)) return false;
    }
    // The legs' rule brings rest positions in, which the limit above does not see.
    return !plan.rootFromLegs;
}

}  // namespace

bool MakePaddedText(std::string_view text, PADDED_TEXT& padded) {
    padded = PADDED_TEXT{};
    if (text.size() > sizeof padded.bytes) return false;
    std::memcpy(padded.bytes, text.data(), text.size());
    padded.size = text.size();
    return true;
}

std::string NormalizedFrameLine(const FRAME_FIELDS& f) {
    std::string line;
    AppendNodeNumber(line, f.number);
    for (std::string_view field : {f.x, f.y, f.z, f.rx, f.ry, f.rz}) {
        line += ' ';
        line.append(field);
    }
    return line;
}

const REST_POSE_LINE& ReadReferenceLine(int node, const COMPOSE_CONTEXT& context) {
    const std::vector<REST_POSE_LINE>& lines = context.rest->lines;
    if (node < 0 || static_cast<std::size_t>(node) >= lines.size()) {
        throw CVarnexError(ERROR_KIND::NO_REST_LINE, context.modelSource, 0,
                           {std::to_string(lines.size()), std::to_string(node)});
    }
    return lines[static_cast<std::size_t>(node)];
}

ROW_PLAN PlanRow(const DECODED_ROW& decoded, const COMPOSE_CONTEXT& context) {
    const int row = decoded.row;
    ROW_PLAN plan;
    static_cast<ROW_RULE&>(plan) = MakeRowRule(decoded, context.rootFromLegs);
    AppendRowPrefix(plan.prefix, row);
    MakePaddedText(plan.prefix, plan.paddedPrefix);  // at most 13 bytes
    if (plan.source == REST_LINE) {
        const REST_POSE_LINE& rest = ReadReferenceLine(row, context);
        rest.RequireDecimal(1, 6, context.modelSource);
        plan.restText = NormalizedFrameLine({rest.Field(0), rest.Field(1), rest.Field(2),
                                             rest.Field(3), rest.Field(4), rest.Field(5),
                                             rest.Field(6)});
        plan.restText += context.lineEnd;
    } else if (plan.blend) {
        const REST_POSE_LINE& rest = ReadReferenceLine(row, context);
        rest.RequireComplete(context.modelSource);
        plan.rest = {rest.values[0], rest.values[1], rest.values[2]};
    }
    plan.finiteForUsual = FiniteForUsual(plan);
    return plan;
}

void ComposePlannedLine(const ROW_PLAN& plan, const FRAME_VIEW& frame,
                        const COMPOSE_CONTEXT& context, std::string& out) {
    if (plan.source == REST_LINE) {
        out += plan.restText;
        return;
    }
    std::size_t n = static_cast<std::size_t>(plan.source);
    if (n >= frame.size) {
        throw CVarnexError(ERROR_KIND::FRAME_TOO_SHORT_FOR_ROW, context.animSource,
                           frame.timeLineNumber,
                           {frame.timeText, std::to_string(plan.row),
                            std::to_string(plan.nodes), std::to_string(n),
                            std::to_string(frame.size)});
    }
    ComposeFromSourceLine(plan, (*frame.lines)[n], context, out);
}

POSITION ComposeFromSourceLine(const ROW_PLAN& plan, const FRAME_LINE& source,
                           const COMPOSE_CONTEXT& context, std::string& out) {
    // A position that is no number would be read as 0 and written as if it were one.
    FRAME_FIELDS f = ParseNumberFields(source.text, context.animSource, source.lineNumber);
    POSITION p = CorrectedPosition(plan, TextToDouble(f.x), TextToDouble(f.y), TextToDouble(f.z));
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
        throw CVarnexError(ERROR_KIND::POSITION_NOT_FINITE, context.animSource, source.lineNumber,
                           {std::string(f.x), std::string(f.y), std::string(f.z),
                            std::to_string(plan.row)});
    }
    out += plan.prefix;
    AppendDecimalText(out, p.x);
    out += ' ';
    AppendDecimalText(out, p.y);
    out += ' ';
    AppendDecimalText(out, p.z);
    for (std::string_view rotation : {f.rx, f.ry, f.rz}) {
        out += ' ';
        out.append(rotation);
    }
    out += context.lineEnd;
    return p;
}

char* WriteUsualNodeLine(const ROW_PLAN& plan, const POSITION& p, std::string_view rotation,
                         const PADDED_TEXT& lineEnd, char* out) {
    std::memcpy(out, plan.paddedPrefix.bytes, sizeof plan.paddedPrefix.bytes);
    out += plan.paddedPrefix.size;
    if ((out = WriteUsualDecimalText(out, p.x)) == nullptr) return nullptr;
    *out++ = ' ';
    if ((out = WriteUsualDecimalText(out, p.y)) == nullptr) return nullptr;
    *out++ = ' ';
    if ((out = WriteUsualDecimalText(out, p.z)) == nullptr) return nullptr;
    *out++ = ' ';
    std::memcpy(out, rotation.data(), USUAL_ROTATION_ROOM);
    out += rotation.size();
    std::memcpy(out, lineEnd.bytes, sizeof lineEnd.bytes);
    return out + lineEnd.size;
}

void AppendUsualNodeLine(const ROW_PLAN& plan, const POSITION& p, std::string_view rotation,
                         std::string_view lineEnd, std::string& out) {
    out += plan.prefix;
    for (double value : {p.x, p.y, p.z}) {
        AppendDecimalText(out, value);
        out += ' ';
    }
    out.append(rotation);
    out.append(lineEnd);
}

void ComposeNodeLine(int row, const RETARGET_ROW& setting, const FRAME_VIEW& frame,
                     const COMPOSE_CONTEXT& context, std::string& out) {
    ComposePlannedLine(PlanRow(DecodeRow(row, setting), context), frame, context, out);
}

}  // namespace varnex
