#include "smd_input/bone_scale.h"

#include <cmath>
#include <string>

#include "platform/varnex_error.h"
#include "smd_input/number_text.h"

namespace {
const FRAME_LINE& Frame0Line(const SMD_HEAD& head, int ordinal, const std::string& what) {
    if (ordinal < 0 || static_cast<std::size_t>(ordinal) >= head.frame0Lines.size()) {
        throw CVarnexError(head.source, head.frame0TimeLine,
                           what + " : la frame « " + head.frame0Time + " » n'a que " +
                               std::to_string(head.frame0Lines.size()) +
                               " lignes de squelette, il n'y a pas de ligne " +
                               std::to_string(ordinal));
    }
    return head.frame0Lines[static_cast<std::size_t>(ordinal)];
}
}  // namespace

double OffsetLength(const FRAME_LINE& line, const std::string& source) {
    FRAME_FIELDS f = ParseFrameFields(line.text, source, line.lineNumber);
    double x = TextToDouble(f.x);
    double y = TextToDouble(f.y);
    double z = TextToDouble(f.z);
    double length = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(length)) {
        throw CVarnexError(source, line.lineNumber,
                           "position hors limites (« " + std::string(f.x) + " " +
                               std::string(f.y) + " " + std::string(f.z) +
                               " ») : sa longueur n'est pas un nombre fini");
    }
    return length;
}

BONE_SCALE_RESULT ComputeBoneScales(const BONE_SCALE_INPUT& in) {
    BONE_SCALE_RESULT out;
    const SMD_HEAD& model = *in.model;
    const SMD_HEAD& ref = *in.refAnim;
    RequireFrame0(model);
    RequireFrame0(ref);

    if (in.thighNamedLeg && in.spineNode >= 0) {
        const FRAME_LINE& spine = Frame0Line(ref, in.spineNode, "spine (node " +
                                                                    std::to_string(in.spineNode) + ")");
        out.spineLength = OffsetLength(spine, ref.source);
    }

    int rows = in.nodeCount < NODE_ROWS ? in.nodeCount : NODE_ROWS;
    for (int i = 0; i < rows; ++i) {
        const std::string& text = (*in.nodeText)[static_cast<std::size_t>(i) + 1];
        int n = TextToInt(text);
        std::string row = "ligne " + std::to_string(i) + " de la grille";
        double lm = OffsetLength(Frame0Line(model, i, "node " + std::to_string(i)), model.source);
        double la = OffsetLength(
            Frame0Line(ref, n > 0 ? n : 0, row + " (NODES « " + text + " »)"), ref.source);
        // -1 is no node: a typed -1 must not pass for a missing thigh.
        if (n >= 0 && (n == in.leftThighNode || n == in.rightThighNode)) {
            la = std::sqrt(la * la + out.spineLength * out.spineLength);
        }
        double factor = la == 0.0 ? 0.0 : lm / la;
        if (n == 0 && i != 0) factor = 1.0;
        if (!std::isfinite(factor)) {
            throw CVarnexError(ref.source, 0,
                               row + " : le facteur d'échelle n'est pas un nombre fini");
        }
        out.boneScale[i] = factor;
        out.scaled[i] = true;
    }
    return out;
}
