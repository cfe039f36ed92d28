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
const char* WINDOW_ROOT_MOTION_ADVICE =
    " ; les deux squelettes ne placent sans doute pas leur origine au même endroit : essayez « "
    "Racine d'après les jambes » dans le menu du bouton droit";

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

std::string WarningTextWith(const MOTION_WARNING& w, const char* advice) {
    switch (w.code) {
        case WARNING_CODE::ROOT_RANGE:
            return "la hauteur de la racine varie de " + Length(w.result) +
                   " unités dans le résultat pour " + Length(w.source) +
                   " dans la source, soit un rapport de " + Ratio(w.result / w.source) +
                   " loin du rapport des jambes (" + Ratio(w.legsRatio) + ")" + advice;
        case WARNING_CODE::ROOT_TRAVEL:
            return "la racine se déplace horizontalement de " + Length(w.result) +
                   " unités dans le résultat pour " + Length(w.source) +
                   " dans la source, soit un rapport de " + Ratio(w.result / w.source) +
                   " loin du rapport des jambes (" + Ratio(w.legsRatio) + ")" + advice;
        case WARNING_CODE::ROOT_FACTOR:
            return "le facteur de la ligne 0 (" + Ratio(w.factor) + ") et le rapport des jambes (" +
                   Ratio(w.legsRatio) + ") diffèrent de plus d'un facteur 2" + advice;
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
}  // namespace

std::string WarningText(const MOTION_WARNING& w) { return WarningTextWith(w, ROOT_MOTION_ADVICE); }

std::string WindowWarningText(const MOTION_WARNING& w) {
    return "avertissement : " + WarningTextWith(w, WINDOW_ROOT_MOTION_ADVICE);
}

std::string WarningNote(const std::string& file, const MOTION_WARNING& w) {
    return file + ": avertissement " + WarningCodeText(w.code) + " : " + WarningText(w);
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

std::string NoLegsRatioForRootText(bool modelHasLegs, bool sourceHasLegs) {
    MOTION_WARNING w = NoLegsRatioWarning(LEGS_RATIO());
    w.modelHasLegs = modelHasLegs;
    w.sourceHasLegs = sourceHasLegs;
    return "la racine ne peut pas suivre les jambes : " + WarningText(w);
}

std::string FrameNotInAnimationText(const std::string& frame, const std::string& frames) {
    return "pas de frame " + frame + " : l'animation a " + frames + " frames, numérotées à partir de 0";
}

std::string PreviewCutNote(const std::string& file, int frames, int shown) {
    return file + ": " + std::to_string(frames) + " frames ; l'aperçu montre les " +
           std::to_string(shown) + " premières (--from, --to et --step pour en voir d'autres)";
}

std::string CliMotionHelp() {
    return R"(
Vérifier et voir le mouvement, sans compiler le modèle :
  varnex-cli check   --model M.smd --ref-anim R.smd [options] ANIM.smd [ANIM2.smd ...]
  varnex-cli preview --model M.smd --ref-anim R.smd [options] [-o APERCU.svg] ANIM.smd

  check    compare chaque animation avec son transfert, frame par frame, en mémoire : écart
           d'angle de chaque os (max et moyen, en degrés), hauteurs et déplacement de la
           racine, rapport des jambes, pied le plus bas, nodes posés sur leur parent, lignes
           sans partenaire, avertissements. Les avertissements ne changent pas le code de sortie.
  preview  écrit un SVG : l'animation sur son squelette et le résultat sur celui du modèle,
           de face et de profil, à la même échelle ; il joue en boucle dans un navigateur.

Options de check et preview : celles de build (--con, --set, --pair-same-names, --convert-biped,
--out-dir), et
  --json               (check) un objet JSON par animation, un tableau s'il y en a plusieurs
  -o APERCU.svg        (preview) le fichier écrit ; par défaut le nom de BUILD SMD en .svg
  --fps N              (preview) images par seconde de la boucle (30 par défaut)
  --from N, --to N, --step N
                       (preview) frames montrées : de N (0 = la première) à N, une sur N ;
                       sans --to, au plus 600 frames (dit sur la sortie d'erreur)
  --frames 0,10,20     (preview) une planche fixe de ces frames au lieu de la boucle
  --root-motion legs|scale
                       (build, check, preview) scale (défaut) : la position de la racine est
                       multipliée par le facteur de la ligne 0 ; legs : la position de repos de
                       la racine du modèle plus le déplacement de la racine source depuis son
                       repos, multiplié par le rapport des jambes (longueur des jambes du
                       modèle / celle de la source). Pour un personnage dont l'origine est aux
                       pieds animé par un squelette dont l'origine est aux hanches.
)";
}

std::string CliRootMotionUsage(const std::string& given) {
    return "--root-motion attend legs ou scale, pas « " + given + " »";
}

std::string CliNumberUsage(const std::string& option, const std::string& given) {
    return option + " attend un nombre entier positif" + (option == "--fps" ? " (images par seconde)" : "") +
           ", pas « " + given + " »";
}

std::string CliFrameListUsage(const std::string& given) {
    return "--frames attend des numéros de frame séparés par des virgules (0,10,20), pas « " +
           given + " »";
}

std::string CliOutputForOneAnimationUsage() {
    return "preview écrit un seul fichier : donnez une seule animation";
}

std::string CliFramesOrRangeUsage() {
    return "--frames s'emploie sans --from, --to ni --step";
}

std::string PreviewMenuText() { return "A&perçu\tAlt+P"; }
std::string RootFromLegsMenuText() { return "&Racine d'après les jambes"; }
std::string PreviewWindowTitle() { return "Varnex : aperçu"; }
std::string PreviewPlayText() { return "Lecture"; }
std::string PreviewPauseText() { return "Pause"; }
std::string PreviewNeedsFilesText() {
    return "L'aperçu a besoin du modèle, de l'animation de référence et d'une animation : "
           "ouvrez-les d'abord";
}
std::string PreviewFrameText(int frame, int frames) {
    return "frame " + std::to_string(frame) + " / " + std::to_string(frames - 1);
}
std::string PreviewCannotRetargetText(const std::string& reason) {
    return "résultat non calculé : " + reason;
}
std::string PreviewRowProblemText(int row, int line, bool notFinite) {
    return "la ligne " + std::to_string(row) + " de la grille lit la ligne de squelette " +
           std::to_string(line) +
           (notFinite ? ", qui ne donne pas un nombre fini" : ", que cette frame n'a pas");
}

}  // namespace varnex
