#include "motion/motion_texts.h"

#include "motion/fixed_text.h"

namespace varnex {

namespace {
constexpr int LENGTH_DECIMALS = 2;
constexpr int RATIO_DECIMALS = 3;
constexpr int DEGREE_DECIMALS = 1;

std::string Length(double v) { return FixedText(v, LENGTH_DECIMALS); }
std::string Ratio(double v) { return FixedText(v, RATIO_DECIMALS); }

const char* ROOT_MOTION_ADVICE =
    " ; les deux squelettes ne placent sans doute pas leur origine au même endroit : essayez le "
    "mouvement de racine d'après les jambes (--root-motion legs)";

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// Characters, not bytes, so that accented names keep the columns straight.
std::size_t Width(const std::string& text) {
    std::size_t width = 0;
    for (unsigned char c : text) width += (c & 0xC0) != 0x80;
    return width;
}

void AppendPadded(std::string& out, const std::string& text, std::size_t width, bool right) {
    std::size_t w = Width(text);
    if (right && w < width) out.append(width - w, ' ');
    out += text;
    if (!right && w < width) out.append(width - w, ' ');
}

std::string Optional(const std::optional<double>& v, int decimals) {
    return v ? FixedText(*v, decimals) : std::string("-");
}
}  // namespace

std::string WarningText(const MOTION_WARNING& w) {
    switch (w.code) {
        case WARNING_CODE::ROOT_RANGE:
            return "la hauteur de la racine varie de " + Length(w.result) +
                   " unités dans le résultat pour " + Length(w.source) +
                   " dans la source, soit un rapport de " + Ratio(w.result / w.source) +
                   " loin du rapport des jambes (" + Ratio(w.legsRatio) + ")" + ROOT_MOTION_ADVICE;
        case WARNING_CODE::ROOT_TRAVEL:
            return "la racine se déplace horizontalement de " + Length(w.result) +
                   " unités dans le résultat pour " + Length(w.source) +
                   " dans la source, soit un rapport de " + Ratio(w.result / w.source) +
                   " loin du rapport des jambes (" + Ratio(w.legsRatio) + ")" + ROOT_MOTION_ADVICE;
        case WARNING_CODE::ROOT_FACTOR:
            return "le facteur de la ligne 0 (" + Ratio(w.factor) + ") et le rapport des jambes (" +
                   Ratio(w.legsRatio) + ") diffèrent de plus d'un facteur 2" + ROOT_MOTION_ADVICE;
        case WARNING_CODE::COLLAPSED_NODES:
            return "nodes posés sur l'articulation de leur parent dans toutes les frames alors "
                   "qu'ils en sont éloignés au repos (facteur ou Correction nul ?) : " +
                   JoinNames(w.nodes);
        case WARNING_CODE::NO_LEGS_RATIO: {
            std::string which = !w.modelHasLegs && !w.sourceHasLegs ? "du modèle et de la source"
                                : !w.modelHasLegs                   ? "du modèle"
                                                                    : "de la source";
            return "pas de rapport des jambes : le squelette " + which +
                   " n'a de cuisse et de pied ni à gauche ni à droite";
        }
    }
    return std::string();
}

std::string ReportTable(const MOTION_REPORT& report) {
    constexpr std::size_t NAME = 24;
    constexpr std::size_t ANGLE = 15;
    std::string out =
        "Animation : " + report.animation + " (" + std::to_string(report.frames) + " frames)\n\n";
    AppendPadded(out, "Ligne", 6, true);
    out += "  ";
    AppendPadded(out, "Node du modèle", NAME, false);
    AppendPadded(out, "Node source", NAME, false);
    AppendPadded(out, "Écart max (°)", ANGLE, true);
    AppendPadded(out, "Écart moyen (°)", ANGLE + 2, true);
    out += '\n';
    for (const BONE_ANGLES& bone : report.bones) {
        AppendPadded(out, std::to_string(bone.row), 6, true);
        out += "  ";
        AppendPadded(out, bone.modelNode, NAME, false);
        AppendPadded(out, bone.sourceNode ? *bone.sourceNode : "(aucun)", NAME, false);
        AppendPadded(out, Optional(bone.maxDegrees, DEGREE_DECIMALS), ANGLE, true);
        AppendPadded(out, Optional(bone.meanDegrees, DEGREE_DECIMALS), ANGLE + 2, true);
        out += '\n';
    }

    constexpr std::size_t LABEL = 40;
    constexpr std::size_t VALUE = 12;
    out += '\n';
    AppendPadded(out, "Racine", LABEL, false);
    AppendPadded(out, "source", VALUE, true);
    AppendPadded(out, "résultat", VALUE, true);
    out += '\n';
    auto line = [&](const char* label, const std::optional<double>& s,
                    const std::optional<double>& r) {
        AppendPadded(out, std::string("  ") + label, LABEL, false);
        AppendPadded(out, Optional(s, LENGTH_DECIMALS), VALUE, true);
        AppendPadded(out, Optional(r, LENGTH_DECIMALS), VALUE, true);
        out += '\n';
    };
    line("hauteur au repos", report.source.restHeight, report.result.restHeight);
    line("hauteur la plus basse", report.source.minHeight, report.result.minHeight);
    line("hauteur la plus haute", report.source.maxHeight, report.result.maxHeight);
    line("déplacement horizontal", report.source.travel, report.result.travel);
    line("pied le plus bas (au repos : 0)", report.source.lowestFoot, report.result.lowestFoot);

    out += "\nRapport des jambes : ";
    if (report.legs.known) {
        out += Ratio(report.legs.ratio) + " (modèle " + Length(report.legs.model.Length()) +
               ", source " + Length(report.legs.source.Length()) + ")\n";
    } else {
        out += "aucun\n";
    }
    out += "Nodes posés sur leur parent : ";
    out += report.collapsedNodes.empty() ? "aucun" : JoinNames(report.collapsedNodes);
    out += "\nLignes sans partenaire : ";
    if (report.unpairedRows.empty()) out += "aucune";
    for (std::size_t i = 0; i < report.unpairedRows.size(); ++i) {
        out += (i > 0 ? ", " : "") + std::to_string(report.unpairedRows[i]);
    }
    out += '\n';
    if (!report.warnings.empty()) {
        out += "\nAvertissements :\n";
        for (const MOTION_WARNING& w : report.warnings) {
            out += "  ";
            out += WarningCodeText(w.code);
            out += " : " + WarningText(w) + '\n';
        }
    }
    return out;
}

std::string PreviewSourceLabel() { return "source"; }
std::string PreviewResultLabel() { return "résultat"; }
std::string PreviewFrontLabel() { return "de face"; }
std::string PreviewSideLabel() { return "de profil"; }
std::string PreviewFrameLabel(int frame) { return "frame " + std::to_string(frame); }

}  // namespace varnex
