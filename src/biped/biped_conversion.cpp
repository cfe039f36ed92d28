#include "biped/biped_conversion.h"

#include <algorithm>

#include "pairing/bone_classifier.h"
#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
struct FIELD_SPAN {
    std::size_t blankStart;  // start of the blanks before the field
    std::size_t start;
    std::size_t end;
};

// The last field of a line and the blanks before it; start == end when the line is blank.
FIELD_SPAN LastField(std::string_view line) {
    std::size_t end = line.size();
    while (end > 0 && IsBlank(line[end - 1])) --end;
    std::size_t start = end;
    while (start > 0 && !IsBlank(line[start - 1])) --start;
    std::size_t blankStart = start;
    while (blankStart > 0 && IsBlank(line[blankStart - 1])) --blankStart;
    return FIELD_SPAN{blankStart, start, end};
}

void RequireNode(int node, const SMD_HEAD& head, int boneClass) {
    if (node < 0) {
        throw CVarnexError(ERROR_KIND::BIPED_NODE_MISSING, head.source, 0,
                           {std::to_string(boneClass)});
    }
}

// Writes one animation with its thighs re-hung: the head with the new parents, then each frame,
// holding the lines up to the last one it reads until the spine's pose of the frame is known.
class CThighConverter {
public:
    CThighConverter(const BIPED_NODES& nodes, COutputSink& out, const std::string& lineEnd)
        : m_nodes(nodes), m_out(out), m_lineEnd(lineEnd), m_spinePose(nodes.restSpine) {
        m_thighs[0] = nodes.leftThigh;
        m_thighs[1] = nodes.rightThigh;
        m_kept = static_cast<std::size_t>(std::max({nodes.spine, m_thighs[0], m_thighs[1]})) + 1;
        m_frame.resize(m_kept);
    }

    CONVERSION_RESULT Run(CLineReader& reader) {
        SMD_HEAD head = ReadSmdHead(reader, false);
        RequireNodeList(head);
        RequireSkeleton(head);
        m_source = head.source;
        RequireSameSkeleton(head);
        RehangThighs(head);

        CONVERSION_RESULT result;
        for (const std::string& line : head.headerLines) Copy(line);

        std::string_view line;
        while (reader.Next(line)) {
            if (IsBlankLine(line)) continue;
            if (IsKeywordLine(line, "end")) {
                FinishFrame();
                Copy("end");
                Flush();
                result.lastFrameSpine = m_spinePose;
                return result;
            }
            if (IsTimeLine(line)) {
                FinishFrame();
                m_timeText = TimeLineText(line, m_source, reader.LineNumber());
                m_frameSize = 0;
                m_inFrame = true;
                m_flushed = false;
            } else if (!m_inFrame || m_flushed) {
                // Lines between "skeleton" and the first frame stay where they are, and so do the
                // lines behind the last one the conversion reads.
                Copy(line);
            } else {
                m_frame[m_frameSize].text.assign(line);
                m_frame[m_frameSize].lineNumber = reader.LineNumber();
                if (++m_frameSize == m_kept) FlushHeldLines();
            }
        }
        FinishFrame();  // a malformed last frame says more than the missing "end"
        throw MissingEnd(reader);
    }

private:
    // The node numbers come from the reference animation: the animation must be of its skeleton.
    void RequireSameSkeleton(const SMD_HEAD& head) const {
        const int wanted[3] = {m_nodes.spine, m_nodes.leftThigh, m_nodes.rightThigh};
        const int classes[3] = {BONE_SPINE, BONE_LEFT_THIGH, BONE_RIGHT_THIGH};
        for (int k = 0; k < 3; ++k) {
            std::size_t ordinal = static_cast<std::size_t>(wanted[k]);
            if (ordinal < head.nodes.size() &&
                ClassifyNode(head.nodes[ordinal].name, head.nodes[ordinal].parent).boneClass ==
                    classes[k]) {
                continue;
            }
            std::vector<std::string> values{std::to_string(wanted[k]), std::to_string(classes[k])};
            if (ordinal < head.nodes.size()) values.push_back(head.nodes[ordinal].name);
            throw CVarnexError(ERROR_KIND::NOT_THE_REFERENCE_SKELETON, head.source, 0,
                               std::move(values));
        }
    }

    // A thigh already hanging from the spine keeps its line and its poses.
    void RehangThighs(SMD_HEAD& head) {
        for (int k = 0; k < 2; ++k) {
            const SMD_NODE& node = head.nodes[static_cast<std::size_t>(m_thighs[k])];
            m_convert[k] = node.parent != m_nodes.spine;
            if (m_convert[k]) {
                head.headerLines[static_cast<std::size_t>(node.lineNumber) - 1] =
                    ReplaceParent(node.text, m_nodes.spine);
            }
        }
        if (!m_convert[0] && !m_convert[1]) {
            throw CVarnexError(ERROR_KIND::THIGHS_ALREADY_ON_SPINE, head.source, 0);
        }
    }

    // Everything goes out through one text, written in large pieces rather than line by line.
    void Copy(std::string_view line) {
        m_text += line;
        m_text += m_lineEnd;
        if (m_text.size() >= (1u << 16)) Flush();
    }

    void Flush() {
        m_out.Write(m_text);
        m_text.clear();
    }

    void FlushHeldLines() {
        if (static_cast<std::size_t>(m_nodes.spine) < m_frameSize) {
            const FRAME_LINE& spine = m_frame[static_cast<std::size_t>(m_nodes.spine)];
            m_spinePose = ParseBonePose(spine.text, m_source, spine.lineNumber);
        }
        Copy(m_timeText);
        for (std::size_t i = 0; i < std::min(m_frameSize, m_kept); ++i) {
            int ordinal = static_cast<int>(i);
            const FRAME_LINE& line = m_frame[i];
            if ((m_convert[0] && ordinal == m_thighs[0]) || (m_convert[1] && ordinal == m_thighs[1])) {
                Copy(TransformThighLine(line.text, m_spinePose, m_nodes.restSpine, m_source,
                                        line.lineNumber));
            } else {
                Copy(line.text);
            }
        }
        m_flushed = true;
    }

    void FinishFrame() {
        if (m_inFrame && !m_flushed) FlushHeldLines();
        m_inFrame = false;
    }

    const BIPED_NODES& m_nodes;
    COutputSink& m_out;
    const std::string& m_lineEnd;
    std::string m_source;
    int m_thighs[2];
    bool m_convert[2] = {false, false};
    BonePose m_spinePose;
    std::size_t m_kept;
    std::vector<FRAME_LINE> m_frame;  // the held lines, reused from frame to frame
    std::size_t m_frameSize = 0;
    std::string m_timeText;
    bool m_inFrame = false;
    bool m_flushed = false;
    std::string m_text;
};
}  // namespace

BIPED_NODES FindBipedNodes(const SMD_HEAD& refAnim, bool& thighNamedLeg) {
    RequireNodeList(refAnim);
    BIPED_NODES nodes;
    for (std::size_t i = 0; i < refAnim.nodes.size(); ++i) {
        int ordinal = static_cast<int>(i);
        NODE_CLASS c = ClassifyNode(refAnim.nodes[i].name, refAnim.nodes[i].parent);
        if (c.naming != NO_NAMING) thighNamedLeg = c.naming == NAMED_LEG;
        switch (c.boneClass) {
            case BONE_PELVIS: nodes.pelvis = ordinal; break;
            case BONE_SPINE: nodes.spine = ordinal; break;
            case BONE_LEFT_THIGH: nodes.leftThigh = ordinal; break;
            case BONE_RIGHT_THIGH: nodes.rightThigh = ordinal; break;
            default: break;
        }
    }
    RequireNode(nodes.pelvis, refAnim, BONE_PELVIS);
    RequireNode(nodes.spine, refAnim, BONE_SPINE);
    RequireNode(nodes.leftThigh, refAnim, BONE_LEFT_THIGH);
    RequireNode(nodes.rightThigh, refAnim, BONE_RIGHT_THIGH);
    RequireFrame0(refAnim);
    if (static_cast<std::size_t>(nodes.spine) >= refAnim.rest.lines.size()) {
        throw CVarnexError(ERROR_KIND::SPINE_NOT_IN_FRAME0, refAnim.source, refAnim.frame0TimeLine,
                           {refAnim.frame0Time, std::to_string(nodes.spine)});
    }
    const REST_POSE_LINE& spine = refAnim.rest.lines[static_cast<std::size_t>(nodes.spine)];
    spine.RequireComplete(refAnim.source);
    const std::array<double, 6>& v = spine.values;
    nodes.restSpine = BonePose{v[0], v[1], v[2], v[3], v[4], v[5]};
    return nodes;
}

std::string ReplaceParent(std::string_view nodeLine, int parent) {
    FIELD_SPAN field = LastField(nodeLine);
    std::string number = std::to_string(parent);
    std::size_t width = field.end - field.blankStart;
    std::size_t blanks = width > number.size() + 1 ? width - number.size() : 1;
    std::string line(nodeLine.substr(0, field.blankStart));
    line.append(blanks, ' ');
    line += number;
    line.append(nodeLine.substr(field.end));
    return line;
}

std::string ConvertedPathOf(const std::string& animPath) {
    std::size_t nameStart = animPath.size() - FileNameOf(animPath).size();
    std::size_t cut = animPath.size() >= nameStart + 4 ? animPath.size() - 4 : nameStart;
    return animPath.substr(0, cut) + "New" + animPath.substr(cut);
}

CONVERSION_RESULT WriteConvertedAnimation(const BIPED_NODES& nodes, CLineReader& reader,
                                          COutputSink& out, const std::string& lineEnd) {
    CThighConverter converter(nodes, out, lineEnd);
    return converter.Run(reader);
}

CONVERSION_RESULT ConvertAnimationFile(const BIPED_NODES& nodes, const std::string& animPath,
                                       const std::string& lineEnd) {
    CAtomicOutput output(ConvertedPathOf(animPath));
    CFile file;
    file.OpenForReading(animPath);
    CLineReader reader(file);
    CONVERSION_RESULT result = WriteConvertedAnimation(nodes, reader, output, lineEnd);
    file.Close();
    output.Commit();
    return result;
}

}  // namespace varnex
