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
const char* WINDOW_ROOT_MOTION_ADVICE = MarkText(
    " ; les deux squelettes ne placent sans doute pas leur origine au même endroit : essayez « "
    "Racine d'après les jambes » dans le menu du bouton droit");

const char* FEET_ROOT_ADVICE = MarkText(
    " ; le facteur de la ligne 0 ({0}) s'écarte du rapport des jambes : essayez le mouvement de "
    "racine d'après les jambes (--root-motion legs)");
const char* WINDOW_FEET_ROOT_ADVICE = MarkText(
    " ; le facteur de la ligne 0 ({0}) s'écarte du rapport des jambes : essayez « Racine d'après "
    "les jambes » dans le menu du bouton droit");

const char* METHOD_ADVICE = MarkText(
    " ; ces lignes suivent les rotations de la source : essayez la méthode qui suit la direction "
    "des os (--method world)");
const char* WINDOW_METHOD_ADVICE = MarkText(
    " ; ces lignes suivent les rotations de la source : essayez « Orientations du monde » dans "
    "le menu du bouton droit");

const char* CONTACT_ADVICE =
    MarkText(" ; essayez de tenir les pieds au sol là où la source les pose (--feet contact)");
const char* WINDOW_CONTACT_ADVICE =
    MarkText(" ; essayez « Pieds au sol » dans le menu du bouton droit");

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

std::string Count(int count, bool known) { return known ? std::to_string(count) : "-"; }

void AppendFeet(std::string& out, const FEET_REPORT& f, const CTextCatalog& texts) {
    auto length = [](const std::optional<double>& v) { return Optional(v, LENGTH_DECIMALS); };
    auto item = [&out](const std::string& text) { out += "  " + text + '\n'; };
    out += '\n' + texts.Tr("Pieds") + '\n';
    item(texts.Tr("sol : source {0}, résultat {1}",
                  {length(f.sourceGround), length(f.resultGround)}));
    item(texts.Tr("écart au sol, rapport des jambes appliqué : le plus grand {0}, médian {1}",
                  {length(f.maxError), length(f.medianError)}));
    item(texts.Tr("bassin au-dessus du sol (médiane) : résultat {0}, source × rapport des "
                  "jambes {1} ; écart le plus grand {2}",
                  {length(f.pelvisHeight), length(f.scaledSourcePelvisHeight),
                   length(f.maxPelvisGap)}));
    item(texts.Tr("appuis de la source : {0} ; glissement le plus grand {1}, au-dessus de 1 "
                  "unité : {2}",
                  {std::to_string(f.contacts.size()), length(f.maxSlide),
                   Count(f.slides, f.maxSlide.has_value())}));
    item(texts.Tr("frames aux genoux retournés : {0}", {Count(f.kneeFlips, f.kneesCompared)}));
    item(texts.Tr("déplacement du bassin par cycle de pas, en moyenne : source {0}, résultat {1}",
                  {length(f.sourceCycleTravel), length(f.resultCycleTravel)}));
}

std::string WarnedRows(const MOTION_WARNING& w, const CTextCatalog& texts) {
    std::string text;
    for (const WARNED_ROW& r : w.rows) {
        if (!text.empty()) text += ", ";
        if (w.code == WARNING_CODE::TORN_BONE) {
            text += texts.Tr("ligne {0} {1} (jusqu'à {2} unités de sa position au repos, à "
                             "{3} unités de son parent au repos)",
                             {std::to_string(r.row), r.node, Length(r.largest),
                              Length(r.restLength)});
        } else {
            text += texts.Tr("ligne {0} {1} ({2}° à la frame {3})",
                             {std::to_string(r.row), r.node, FixedText(r.largest, DEGREE_DECIMALS),
                              std::to_string(r.frame)});
        }
    }
    return text;
}

std::string WarningTextWith(const MOTION_WARNING& w, bool window, const CTextCatalog& texts) {
    const char* advice = window ? WINDOW_ROOT_MOTION_ADVICE : ROOT_MOTION_ADVICE;
    std::string feetAdvice;
    if (w.rootAdvice) {
        feetAdvice =
            texts.Tr(window ? WINDOW_FEET_ROOT_ADVICE : FEET_ROOT_ADVICE, {Ratio(w.factor)});
    }
    if (w.contactAdvice) feetAdvice += texts.Tr(window ? WINDOW_CONTACT_ADVICE : CONTACT_ADVICE);
    switch (w.code) {
        case WARNING_CODE::ROOT_RANGE:
            return texts.Tr(
                       "la hauteur de la racine varie de {0} unités dans le résultat pour {1} "
                       "dans la source, soit un rapport de {2} loin du rapport des jambes "
                       "({3})",
                       {Length(w.result), Length(w.source), Ratio(w.result / w.source),
                        Ratio(w.legsRatio)}) +
                   texts.Tr(advice);
        case WARNING_CODE::ROOT_TRAVEL:
            return texts.Tr(
                       "la racine se déplace horizontalement de {0} unités dans le résultat "
                       "pour {1} dans la source, soit un rapport de {2} loin du rapport des "
                       "jambes ({3})",
                       {Length(w.result), Length(w.source), Ratio(w.result / w.source),
                        Ratio(w.legsRatio)}) +
                   texts.Tr(advice);
        case WARNING_CODE::ROOT_FACTOR:
            return texts.Tr(
                       "le facteur de la ligne 0 ({0}) et le rapport des jambes ({1}) "
                       "diffèrent de plus d'un facteur 2",
                       {Ratio(w.factor), Ratio(w.legsRatio)}) +
                   texts.Tr(advice);
        case WARNING_CODE::COLLAPSED_NODES:
            return texts.Tr(
                "nodes posés sur l'articulation de leur parent dans toutes les frames "
                "alors qu'ils en sont éloignés au repos (facteur ou Correction nul ?) "
                ": {0}",
                {JoinNames(w.nodes)});
        case WARNING_CODE::NO_LEGS_RATIO:
            if (!w.modelHasLegs && !w.sourceHasLegs) {
                return texts.Tr(
                    "pas de rapport des jambes : le squelette du modèle et de la source "
                    "n'a de cuisse et de pied ni à gauche ni à droite");
            }
            if (!w.modelHasLegs) {
                return texts.Tr(
                    "pas de rapport des jambes : le squelette du modèle n'a de cuisse "
                    "et de pied ni à gauche ni à droite");
            }
            return texts.Tr(
                "pas de rapport des jambes : le squelette de la source n'a de cuisse et "
                "de pied ni à gauche ni à droite");
        case WARNING_CODE::FEET_OFF:
            // Today's retarget gives the legs the source's angles: the feet land where those
            // angles put them on the model's legs, wherever the ground is.
            return texts.Tr(
                       "les pieds s'écartent jusqu'à {0} unités (médiane {1}) de la hauteur "
                       "au-dessus du sol de ceux de la source multipliée par le rapport des "
                       "jambes ({2}) : les jambes suivent les angles de la source, pas le sol",
                       {Length(w.largest), Length(w.median), Ratio(w.legsRatio)}) +
                   feetAdvice;
        case WARNING_CODE::FOOT_SLIDE:
            return texts.Tr(
                       "{0} des {1} appuis de la source glissent de plus d'une unité dans le "
                       "résultat, jusqu'à {2} unités : le déplacement de la racine et le pas "
                       "des jambes ne s'accordent pas",
                       {std::to_string(w.count), std::to_string(w.contacts), Length(w.largest)}) +
                   feetAdvice;
        case WARNING_CODE::TORN_BONE:
            return texts.Tr("os arrachés ou écrasés : la position de ces nodes s'écarte de plus "
                            "de 10 unités et de plus de la moitié de sa longueur de celle du "
                            "repos : {0}",
                            {WarnedRows(w, texts)}) +
                   (w.methodAdvice ? texts.Tr(window ? WINDOW_METHOD_ADVICE : METHOD_ADVICE)
                                   : std::string());
        case WARNING_CODE::CHAIN_ANGLE:
            return texts.Tr("chaînes qui s'écartent de plus de 20° de celles de la source : {0}",
                            {WarnedRows(w, texts)}) +
                   (w.methodAdvice ? texts.Tr(window ? WINDOW_METHOD_ADVICE : METHOD_ADVICE)
                                   : std::string());
    }
    return std::string();
}
}  // namespace

std::string WarningText(const MOTION_WARNING& w, const CTextCatalog& texts) {
    return WarningTextWith(w, false, texts);
}

std::string WindowWarningText(const MOTION_WARNING& w, const CTextCatalog& texts) {
    return texts.Tr("avertissement : {0}", {WarningTextWith(w, true, texts)});
}

std::string WarningNote(const std::string& file, const MOTION_WARNING& w,
                        const CTextCatalog& texts) {
    // The code stays the same in every language: scripts look for it.
    return texts.Tr("{0}: avertissement {1} : {2}",
                    {file, WarningCodeText(w.code), WarningText(w, texts)});
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

    bool axes = false;
    for (const BONE_ANGLES& bone : report.bones) axes = axes || bone.axisMaxDegrees.has_value();
    if (axes) {
        out += '\n' + texts.Tr("Axe X des nodes en bout de chaîne") + '\n';
        for (const BONE_ANGLES& bone : report.bones) {
            if (!bone.axisMaxDegrees) continue;
            AppendPadded(out, std::to_string(bone.row), 6, true);
            out += "  ";
            AppendPadded(out, bone.modelNode, NAME, false);
            AppendPadded(out, bone.sourceNode.value_or(std::string()), NAME, false);
            AppendPadded(out, Optional(bone.axisMaxDegrees, DEGREE_DECIMALS), ANGLE, true);
            AppendPadded(out, Optional(bone.axisMeanDegrees, DEGREE_DECIMALS), ANGLE + 2, true);
            out += '\n';
        }
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

    AppendFeet(out, report.feet, texts);

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

std::string NoLegsRatioForRootText(bool modelHasLegs, bool sourceHasLegs,
                                   const CTextCatalog& texts) {
    MOTION_WARNING w = NoLegsRatioWarning(LEGS_RATIO());
    w.modelHasLegs = modelHasLegs;
    w.sourceHasLegs = sourceHasLegs;
    return texts.Tr("la racine ne peut pas suivre les jambes : {0}", {WarningText(w, texts)});
}

std::string FrameNotInAnimationText(const std::string& frame, const std::string& frames,
                                    const CTextCatalog& texts) {
    return texts.Tr("pas de frame {0} : l'animation a {1} frames, numérotées à partir de 0",
                    {frame, frames});
}

std::string PreviewCutNote(const std::string& file, int frames, int shown,
                           const CTextCatalog& texts) {
    return texts.Tr("{0}: {1} frames ; l'aperçu montre les {2} premières (--from, --to et --step "
                    "pour en voir d'autres)",
                    {file, std::to_string(frames), std::to_string(shown)});
}

}  // namespace varnex
