#include "motion/report_json.h"

#include <cmath>

#include "motion/fixed_text.h"
#include "motion/motion_texts.h"

namespace varnex {

namespace {
constexpr int JSON_DECIMALS = 6;

void AppendEscapedByte(std::string& out, unsigned char c) {
    static const char HEX[] = "0123456789abcdef";
    out += "\\u00";
    out += HEX[c >> 4];
    out += HEX[c & 15];
}

// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length = c >= 0xF0 && c <= 0xF4   ? 4
                         : c >= 0xE0              ? 3
                         : c >= 0xC2 && c <= 0xDF ? 2
                                                  : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    unsigned char next = static_cast<unsigned char>(text[i + 1]);
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next >= 0xA0) || (c == 0xF0 && next < 0x90) ||
        (c == 0xF4 && next >= 0x90)) {
        return 0;
    }
    return length;
}

void AppendNumber(std::string& out, double value) {
    if (std::isfinite(value)) {
        AppendFixed(out, value, JSON_DECIMALS);
    } else {
        out += "null";
    }
}

void AppendNumber(std::string& out, const std::optional<double>& value) {
    if (value) {
        AppendNumber(out, *value);
    } else {
        out += "null";
    }
}

void AppendRoot(std::string& out, const ROOT_MOTION& root) {
    out += "{\"rest_height\": ";
    AppendNumber(out, root.restHeight);
    out += ", \"min_height\": ";
    AppendNumber(out, root.minHeight);
    out += ", \"max_height\": ";
    AppendNumber(out, root.maxHeight);
    out += ", \"travel\": ";
    AppendNumber(out, root.travel);
    out += ", \"lowest_foot_height\": ";
    AppendNumber(out, root.lowestFoot);
    out += '}';
}

void AppendFeet(std::string& out, const FEET_REPORT& f, const std::string& indent) {
    const std::string in1 = indent + "  ";
    out += "{\"source_ground\": ";
    AppendNumber(out, f.sourceGround);
    out += ", \"result_ground\": ";
    AppendNumber(out, f.resultGround);
    out += ",\n" + in1 + "\"max_error\": ";
    AppendNumber(out, f.maxError);
    out += ", \"median_error\": ";
    AppendNumber(out, f.medianError);
    out += ",\n" + in1 + "\"pelvis_height\": ";
    AppendNumber(out, f.pelvisHeight);
    out += ", \"scaled_source_pelvis_height\": ";
    AppendNumber(out, f.scaledSourcePelvisHeight);
    out += ", \"max_pelvis_gap\": ";
    AppendNumber(out, f.maxPelvisGap);
    out += ",\n" + in1 + "\"max_slide\": ";
    AppendNumber(out, f.maxSlide);
    out += ", \"slides\": " + std::to_string(f.slides);
    out += ", \"knee_flips\": ";
    out += f.kneesCompared ? std::to_string(f.kneeFlips) : std::string("null");
    out += ",\n" + in1 + "\"cycles\": " + std::to_string(f.cycles);
    out += ", \"source_cycle_travel\": ";
    AppendNumber(out, f.sourceCycleTravel);
    out += ", \"result_cycle_travel\": ";
    AppendNumber(out, f.resultCycleTravel);
    out += ",\n" + in1 + "\"contacts\": [";
    for (std::size_t i = 0; i < f.contacts.size(); ++i) {
        const FOOT_CONTACT& c = f.contacts[i];
        out += (i > 0 ? ",\n" : "\n") + in1 + "  {\"side\": ";
        out += c.side == FOOT_SIDE::LEFT ? "\"left\"" : "\"right\"";
        out += ", \"first_frame\": " + std::to_string(c.first) +
               ", \"last_frame\": " + std::to_string(c.last) + ", \"slide\": ";
        AppendNumber(out, c.slide);
        out += '}';
    }
    out += f.contacts.empty() ? "]}" : "\n" + in1 + "]}";
}

void AppendReport(std::string& out, const MOTION_REPORT& report, const std::string& indent,
                  const CTextCatalog& texts) {
    const std::string in1 = indent + "  ";
    const std::string in2 = in1 + "  ";
    out += indent + "{\n" + in1 + "\"animation\": ";
    AppendJsonString(out, report.animation);
    out += ",\n" + in1 + "\"frames\": " + std::to_string(report.frames);
    out += ",\n" + in1 + "\"bones\": [";
    for (std::size_t i = 0; i < report.bones.size(); ++i) {
        const BONE_ANGLES& b = report.bones[i];
        out += (i > 0 ? ",\n" : "\n") + in2 + "{\"row\": " + std::to_string(b.row) +
               ", \"model_node\": ";
        AppendJsonString(out, b.modelNode);
        out += ", \"source_node\": ";
        if (b.sourceNode) {
            AppendJsonString(out, *b.sourceNode);
        } else {
            out += "null";
        }
        out += ", \"max_deg\": ";
        AppendNumber(out, b.maxDegrees);
        out += ", \"mean_deg\": ";
        AppendNumber(out, b.meanDegrees);
        out += ", \"max_frame\": ";
        out += b.maxFrame ? std::to_string(*b.maxFrame) : std::string("null");
        out += ", \"axis_max_deg\": ";
        AppendNumber(out, b.axisMaxDegrees);
        out += ", \"axis_mean_deg\": ";
        AppendNumber(out, b.axisMeanDegrees);
        out += '}';
    }
    out += report.bones.empty() ? "]" : "\n" + in1 + "]";
    out += ",\n" + in1 + "\"root\": {\"legs_ratio\": ";
    if (report.legs.known) {
        AppendNumber(out, report.legs.ratio);
    } else {
        out += "null";
    }
    out += ",\n" + in2 + "\"source\": ";
    AppendRoot(out, report.source);
    out += ",\n" + in2 + "\"result\": ";
    AppendRoot(out, report.result);
    out += "},\n" + in1 + "\"feet\": ";
    AppendFeet(out, report.feet, in1);
    out += ",\n" + in1 + "\"collapsed_nodes\": [";
    for (std::size_t i = 0; i < report.collapsedNodes.size(); ++i) {
        if (i > 0) out += ", ";
        AppendJsonString(out, report.collapsedNodes[i]);
    }
    out += "],\n" + in1 + "\"unpaired_rows\": [";
    for (std::size_t i = 0; i < report.unpairedRows.size(); ++i) {
        out += (i > 0 ? ", " : "") + std::to_string(report.unpairedRows[i]);
    }
    out += "],\n" + in1 + "\"warnings\": [";
    for (std::size_t i = 0; i < report.warnings.size(); ++i) {
        const MOTION_WARNING& w = report.warnings[i];
        out += (i > 0 ? ",\n" : "\n") + in2 + "{\"code\": ";
        AppendJsonString(out, WarningCodeText(w.code));
        out += ", \"text\": ";
        AppendJsonString(out, WarningText(w, texts));
        if (!w.rows.empty()) {
            out += ", \"rows\": [";
            for (std::size_t k = 0; k < w.rows.size(); ++k) {
                const WARNED_ROW& r = w.rows[k];
                out += (k > 0 ? ", " : "") + std::string("{\"row\": ") + std::to_string(r.row) +
                       ", \"node\": ";
                AppendJsonString(out, r.node);
                out += ", \"largest\": ";
                AppendNumber(out, r.largest);
                out += ", \"frame\": ";
                out += r.frame >= 0 ? std::to_string(r.frame) : std::string("null");
                out += '}';
            }
            out += ']';
        }
        out += '}';
    }
    out += report.warnings.empty() ? "]" : "\n" + in1 + "]";
    out += "\n" + indent + "}";
}
}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            std::size_t length = Utf8Length(text, i);
            if (length == 0) {
                AppendEscapedByte(out, c);
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscapedByte(out, c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
}

std::string ReportJson(const MOTION_REPORT& report, const CTextCatalog& texts) {
    std::string out;
    AppendReport(out, report, "", texts);
    out += '\n';
    return out;
}

std::string ReportsJson(const std::vector<MOTION_REPORT>& reports, const CTextCatalog& texts) {
    if (reports.size() == 1) return ReportJson(reports.front(), texts);
    std::string out = "[";
    for (std::size_t i = 0; i < reports.size(); ++i) {
        out += i > 0 ? ",\n" : "\n";
        AppendReport(out, reports[i], "  ", texts);
    }
    out += reports.empty() ? "]\n" : "\n]\n";
    return out;
}

}  // namespace varnex
