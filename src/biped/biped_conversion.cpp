#include "biped/biped_conversion.h"

#include <algorithm>

#include "build/build_smd.h"
#include "platform/varnex_error.h"
#include "smd_input/bone_classifier.h"
#include "smd_input/number_text.h"

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

void RequireNode(int node, const SMD_HEAD& head, const char* what) {
    if (node < 0) {
        throw CVarnexError(head.source, 0,
                           std::string("la liste des nodes n'a pas de ") + what +
                               " : la conversion en a besoin");
    }
}
}  // namespace

BIPED_NODES FindBipedNodes(const SMD_HEAD& refAnim, int& thighNamedLeg) {
    RequireNodeList(refAnim);
    BIPED_NODES nodes;
    for (std::size_t i = 0; i < refAnim.nodeLines.size(); ++i) {
        int ordinal = static_cast<int>(i);
        switch (ClassifyBone(refAnim.nodeLines[i].text, thighNamedLeg)) {
            case BONE_PELVIS: nodes.pelvis = ordinal; break;
            case BONE_SPINE: nodes.spine = ordinal; break;
            case BONE_LEFT_THIGH: nodes.leftThigh = ordinal; break;
            case BONE_RIGHT_THIGH: nodes.rightThigh = ordinal; break;
            default: break;
        }
    }
    RequireNode(nodes.pelvis, refAnim, "bassin (« Pelvis »)");
    RequireNode(nodes.spine, refAnim, "colonne (« Spine »)");
    RequireNode(nodes.leftThigh, refAnim, "cuisse gauche (« L Thigh » ou « L Leg »)");
    RequireNode(nodes.rightThigh, refAnim, "cuisse droite (« R Thigh » ou « R Leg »)");
    RequireFrame0(refAnim);
    if (static_cast<std::size_t>(nodes.spine) >= refAnim.frame0Lines.size()) {
        throw CVarnexError(refAnim.source, refAnim.frame0TimeLine,
                           "la frame « " + refAnim.frame0Time + " » n'a pas de ligne pour la colonne (node " +
                               std::to_string(nodes.spine) + ")");
    }
    const FRAME_LINE& spine = refAnim.frame0Lines[static_cast<std::size_t>(nodes.spine)];
    nodes.restSpine = ParseBonePose(spine.text, refAnim.source, spine.lineNumber);
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
    SMD_HEAD head = ReadSmdHead(reader, false);
    RequireNodeList(head);
    RequireSkeleton(head);

    // The node numbers come from the reference animation: the animation must be of its skeleton.
    const int wanted[3] = {nodes.spine, nodes.leftThigh, nodes.rightThigh};
    const int classes[3] = {BONE_SPINE, BONE_LEFT_THIGH, BONE_RIGHT_THIGH};
    const char* names[3] = {"la colonne", "la cuisse gauche", "la cuisse droite"};
    for (int k = 0; k < 3; ++k) {
        std::size_t ordinal = static_cast<std::size_t>(wanted[k]);
        int naming = 0;
        if (ordinal >= head.nodeLines.size() ||
            ClassifyBone(head.nodeLines[ordinal].text, naming) != classes[k]) {
            std::string found = ordinal < head.nodeLines.size()
                                    ? " (« " + NodeNameOf(head.nodeLines[ordinal].text) + " »)"
                                    : " (absent)";
            throw CVarnexError(head.source, 0,
                               "son node " + std::to_string(wanted[k]) + found + " n'est pas " +
                                   names[k] + " de l'animation de référence : choisissez une "
                                   "animation du même squelette");
        }
    }

    // A thigh already hanging from the spine keeps its line and its poses.
    bool convert[2] = {false, false};
    int thighs[2] = {nodes.leftThigh, nodes.rightThigh};
    for (int k = 0; k < 2; ++k) {
        const FRAME_LINE& line = head.nodeLines[static_cast<std::size_t>(thighs[k])];
        FIELD_SPAN parent = LastField(line.text);
        convert[k] = TextToInt(std::string_view(line.text).substr(parent.start)) != nodes.spine;
        if (convert[k]) {
            head.headerLines[static_cast<std::size_t>(line.lineNumber) - 1] =
                ReplaceParent(line.text, nodes.spine);
        }
    }
    if (!convert[0] && !convert[1]) {
        throw CVarnexError(head.source, 0,
                           "les deux cuisses sont déjà rattachées à la colonne : rien à convertir");
    }

    CONVERSION_RESULT result;
    std::string text;
    for (const std::string& line : head.headerLines) {
        text += line;
        text += lineEnd;
    }
    result.skeletonEnd = static_cast<long long>(text.size());
    result.skeletonLine = head.skeletonLine;
    // Everything goes out through text, written in large pieces rather than line by line.
    auto flushText = [&]() {
        out.Write(text);
        text.clear();
    };
    auto copyLine = [&](std::string_view line) {
        text += line;
        text += lineEnd;
        if (text.size() >= (1u << 16)) flushText();
    };

    BonePose spinePose = nodes.restSpine;
    // Lines up to the last one the conversion reads are held until the spine's pose of the frame
    // is known; the lines behind them go straight out, so a frame of any length takes little
    // memory.
    std::size_t kept = static_cast<std::size_t>(std::max({nodes.spine, thighs[0], thighs[1]})) + 1;
    std::vector<FRAME_LINE> frame(kept);
    std::size_t frameSize = 0;
    std::string timeText;
    bool inFrame = false;
    bool flushed = false;
    auto flushHeldLines = [&]() {
        if (static_cast<std::size_t>(nodes.spine) < frameSize) {
            const FRAME_LINE& spine = frame[static_cast<std::size_t>(nodes.spine)];
            spinePose = ParseBonePose(spine.text, head.source, spine.lineNumber);
        }
        copyLine(timeText);
        for (std::size_t i = 0; i < std::min(frameSize, kept); ++i) {
            int ordinal = static_cast<int>(i);
            const FRAME_LINE& line = frame[i];
            if ((convert[0] && ordinal == thighs[0]) || (convert[1] && ordinal == thighs[1])) {
                copyLine(TransformThighLine(line.text, spinePose, nodes.restSpine, head.source,
                                            line.lineNumber));
            } else {
                copyLine(line.text);
            }
        }
        flushed = true;
    };
    auto finishFrame = [&]() {
        if (inFrame && !flushed) flushHeldLines();
        inFrame = false;
    };

    std::string_view line;
    bool ended = false;
    while (!ended && reader.Next(line)) {
        if (IsBlankLine(line)) continue;
        if (IsKeywordLine(line, "end")) {
            finishFrame();
            copyLine("end");
            ended = true;
            continue;
        }
        if (IsTimeLine(line)) {
            finishFrame();
            timeText = TimeLineText(line, head.source, reader.LineNumber());
            frameSize = 0;
            inFrame = true;
            flushed = false;
        } else if (!inFrame || flushed) {
            // Lines between "skeleton" and the first frame stay where they are, and so do the
            // lines behind the last one the conversion reads.
            copyLine(line);
        } else {
            frame[frameSize].text.assign(line);
            frame[frameSize].lineNumber = reader.LineNumber();
            if (++frameSize == kept) flushHeldLines();
        }
    }
    if (!ended) {
        finishFrame();  // a malformed last frame says more than the missing "end"
        throw MissingEnd(reader);
    }
    flushText();
    result.lastFrameSpine = spinePose;
    return result;
}
