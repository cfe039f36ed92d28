#include "motion/motion_texts.h"

#include "motion/fixed_text.h"

namespace varnex {

namespace {
constexpr int LENGTH_DECIMALS = 2;
constexpr int RATIO_DECIMALS = 3;
constexpr int DEGREE_DECIMALS = 1;

std::string Length(double v) { return FixedText(v, LENGTH_DECIMALS); }
std::string Ratio(double v) { return FixedText(v, RATIO_DECIMALS); }

const char* ROOT_MOTION_ADVICE = MarkText(
    " ; les deux squelettes ne placent sans doute pas leur origine au même endroit : essayez le "
    "mouvement de racine d'après les jambes (--root-motion legs)");

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

std::string WarningText(const MOTION_WARNING& w, const CTextCatalog& texts) {
    switch (w.code) {
        case WARNING_CODE::ROOT_RANGE:
            return texts.Tr("la hauteur de la racine varie de {0} unités dans le résultat pour {1} "
                            "dans la source, soit un rapport de {2} loin du rapport des jambes "
                            "({3})",
                            {Length(w.result), Length(w.source), Ratio(w.result / w.source),
                             Ratio(w.legsRatio)}) +
                   texts.Tr(ROOT_MOTION_ADVICE);
        case WARNING_CODE::ROOT_TRAVEL:
            return texts.Tr("la racine se déplace horizontalement de {0} unités dans le résultat "
                            "pour {1} dans la source, soit un rapport de {2} loin du rapport des "
                            "jambes ({3})",
                            {Length(w.result), Length(w.source), Ratio(w.result / w.source),
                             Ratio(w.legsRatio)}) +
                   texts.Tr(ROOT_MOTION_ADVICE);
        case WARNING_CODE::ROOT_FACTOR:
            return texts.Tr("le facteur de la ligne 0 ({0}) et le rapport des jambes ({1}) "
                            "diffèrent de plus d'un facteur 2",
                            {Ratio(w.factor), Ratio(w.legsRatio)}) +
                   texts.Tr(ROOT_MOTION_ADVICE);
        case WARNING_CODE::COLLAPSED_NODES:
            return texts.Tr("nodes posés sur l'articulation de leur parent dans toutes les frames "
                            "alors qu'ils en sont éloignés au repos (facteur ou Correction nul ?) "
                            ": {0}",
                            {JoinNames(w.nodes)});
        case WARNING_CODE::NO_LEGS_RATIO:
            if (!w.modelHasLegs && !w.sourceHasLegs) {
                return texts.Tr("pas de rapport des jambes : le squelette du modèle et de la source "
                                "n'a de cuisse et de pied ni à gauche ni à droite");
            }
            if (!w.modelHasLegs) {
                return texts.Tr("pas de rapport des jambes : le squelette du modèle n'a de cuisse "
                                "et de pied ni à gauche ni à droite");
            }
            return texts.Tr("pas de rapport des jambes : le squelette de la source n'a de cuisse et "
                            "de pied ni à gauche ni à droite");
    }
    return std::string();
}

std::string ReportTable(const MOTION_REPORT& report, const CTextCatalog& texts) {
    constexpr std::size_t NAME = 24;
    constexpr std::size_t ANGLE = 15;
    std::string out = texts.Tr("Animation : {0} ({1} frames)",
                               {report.animation, std::to_string(report.frames)}) +
                      "\n\n";
    AppendPadded(out, texts.Tr("Ligne"), 6, true);
    out += "  ";
    AppendPadded(out, texts.Tr("Node du modèle"), NAME, false);
    AppendPadded(out, texts.Tr("Node source"), NAME, false);
    AppendPadded(out, texts.Tr("Écart max (°)"), ANGLE, true);
    AppendPadded(out, texts.Tr("Écart moyen (°)"), ANGLE + 2, true);
    out += '\n';
    for (const BONE_ANGLES& bone : report.bones) {
        AppendPadded(out, std::to_string(bone.row), 6, true);
        out += "  ";
        AppendPadded(out, bone.modelNode, NAME, false);
        AppendPadded(out, bone.sourceNode ? *bone.sourceNode : texts.Tr("(aucun)"), NAME, false);
        AppendPadded(out, Optional(bone.maxDegrees, DEGREE_DECIMALS), ANGLE, true);
        AppendPadded(out, Optional(bone.meanDegrees, DEGREE_DECIMALS), ANGLE + 2, true);
        out += '\n';
    }

    constexpr std::size_t LABEL = 40;
    constexpr std::size_t VALUE = 12;
    out += '\n';
    AppendPadded(out, texts.Tr("Racine"), LABEL, false);
    AppendPadded(out, texts.Tr("source"), VALUE, true);
    AppendPadded(out, texts.Tr("résultat"), VALUE, true);
    out += '\n';
    auto line = [&](const char* label, const std::optional<double>& s,
                    const std::optional<double>& r) {
        AppendPadded(out, "  " + texts.Tr(label), LABEL, false);
        AppendPadded(out, Optional(s, LENGTH_DECIMALS), VALUE, true);
        AppendPadded(out, Optional(r, LENGTH_DECIMALS), VALUE, true);
        out += '\n';
    };
    line(MarkText("hauteur au repos"), report.source.restHeight, report.result.restHeight);
    line(MarkText("hauteur la plus basse"), report.source.minHeight, report.result.minHeight);
    line(MarkText("hauteur la plus haute"), report.source.maxHeight, report.result.maxHeight);
    line(MarkText("déplacement horizontal"), report.source.travel, report.result.travel);
    line(MarkText("pied le plus bas (au repos : 0)"), report.source.lowestFoot,
         report.result.lowestFoot);

    out += '\n';
    if (report.legs.known) {
        out += texts.Tr("Rapport des jambes : {0} (modèle {1}, source {2})",
                        {Ratio(report.legs.ratio), Length(report.legs.model.Length()),
                         Length(report.legs.source.Length())});
    } else {
        out += texts.Tr("Rapport des jambes : aucun");
    }
    out += '\n';
    out += texts.Tr("Nodes posés sur leur parent : {0}",
                    {report.collapsedNodes.empty() ? texts.Tr("aucun")
                                                   : JoinNames(report.collapsedNodes)});
    std::string rows;
    for (std::size_t i = 0; i < report.unpairedRows.size(); ++i) {
        rows += (i > 0 ? ", " : "") + std::to_string(report.unpairedRows[i]);
    }
    out += '\n';
    out += texts.Tr("Lignes sans partenaire : {0}", {rows.empty() ? texts.Tr("aucune") : rows});
    out += '\n';
    if (!report.warnings.empty()) {
        out += '\n' + texts.Tr("Avertissements :") + '\n';
        for (const MOTION_WARNING& w : report.warnings) {
            out += "  ";
            // The code stays the same in every language: scripts look for it.
            out += WarningCodeText(w.code);
            out += texts.Tr(" : {0}", {WarningText(w, texts)}) + '\n';
        }
    }
    return out;
}

std::string PreviewSourceLabel(const CTextCatalog& texts) { return texts.Tr("source"); }
std::string PreviewResultLabel(const CTextCatalog& texts) { return texts.Tr("résultat"); }
std::string PreviewFrontLabel(const CTextCatalog& texts) { return texts.Tr("de face"); }
std::string PreviewSideLabel(const CTextCatalog& texts) { return texts.Tr("de profil"); }
std::string PreviewFrameLabel(int frame, const CTextCatalog& texts) {
    return texts.Tr("frame {0}", {std::to_string(frame)});
}

}  // namespace varnex
