#include "app/error_text.h"

#include <cerrno>

#include "motion/motion_texts.h"
#include "pairing/bone_classifier.h"
#include "pairing/grid.h"
#include "platform/system_message.h"
#include "app/qc_texts.h"

namespace varnex {

namespace {
std::string BipedBoneName(const std::string& boneClass, const CTextCatalog& texts) {
    int c = std::stoi(boneClass.empty() ? "0" : boneClass);
    switch (c) {
        case BONE_PELVIS: return texts.Tr("bassin (« Pelvis »)");
        case BONE_SPINE: return texts.Tr("colonne (« Spine »)");
        case BONE_LEFT_THIGH: return texts.Tr("cuisse gauche (« L Thigh » ou « L Leg »)");
        case BONE_RIGHT_THIGH: return texts.Tr("cuisse droite (« R Thigh » ou « R Leg »)");
        default: return texts.Tr("node {0}", {boneClass});
    }
}

std::string ReferenceBoneName(const std::string& boneClass, const CTextCatalog& texts) {
    int c = std::stoi(boneClass.empty() ? "0" : boneClass);
    switch (c) {
        case BONE_SPINE: return texts.Tr("la colonne");
        case BONE_LEFT_THIGH: return texts.Tr("la cuisse gauche");
        default: return texts.Tr("la cuisse droite");
    }
}
}  // namespace

std::string SystemReason(int errorNumber, const CTextCatalog& texts) {
    switch (errorNumber) {
        case ENOENT: return texts.Tr("fichier ou dossier introuvable");
        case EACCES:
        case EPERM: return texts.Tr("permission refusée");
        case EISDIR: return texts.Tr("c'est un dossier");
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return texts.Tr("disque plein");
        case EROFS: return texts.Tr("système de fichiers en lecture seule");
        case EFBIG: return texts.Tr("fichier trop volumineux");
#ifdef _WIN32
        // What Windows refuses in a name (a "|", a ":" past the drive, "CON") comes back from the
        // C runtime as EINVAL, whose text would say nothing of the name.
        case EINVAL:
            return texts.Tr("nom invalide : Windows refuse < > : \" | ? * dans un nom, et les noms "
                            "réservés (CON, NUL, COM1…)");
#endif
        default: {
            std::string text = SystemMessage(errorNumber, texts.Language());
            return text.empty() ? texts.Tr("erreur système {0}", {std::to_string(errorNumber)})
                                : text;
        }
    }
}

std::string ErrorMessage(const CVarnexError& e, const CTextCatalog& texts) {
    const auto& v = [&e](std::size_t i) -> const std::string& { return e.Value(i); };
    auto reason = [&]() { return SystemReason(e.SystemError(), texts); };
    switch (e.Kind()) {
        case ERROR_KIND::READ_FOLDER: return texts.Tr("impossible de lire ce fichier : c'est un dossier");
        case ERROR_KIND::OPEN_FAILED: return texts.Tr("impossible d'ouvrir le fichier : {0}", {reason()});
        case ERROR_KIND::SEEK_FAILED:
            return texts.Tr("impossible de se placer dans le fichier : {0}", {reason()});
        case ERROR_KIND::FILE_NOT_OPEN: return texts.Tr("fichier non ouvert");
        case ERROR_KIND::READ_FAILED: return texts.Tr("erreur de lecture : {0}", {reason()});
        case ERROR_KIND::WRITE_FOLDER: return texts.Tr("impossible d'écrire ce fichier : c'est un dossier");
        case ERROR_KIND::CREATE_FAILED: return texts.Tr("impossible de créer le fichier : {0}", {reason()});
        case ERROR_KIND::OUTPUT_CLOSED: return texts.Tr("fichier de sortie fermé");
        case ERROR_KIND::WRITE_FAILED: return texts.Tr("erreur d'écriture : {0}", {reason()});
        case ERROR_KIND::REPLACE_FAILED:
            return texts.Tr("impossible de remplacer le fichier : {0}", {reason()});
        case ERROR_KIND::OUTPUT_IS_INPUT:
            return texts.Tr("c'est un des fichiers d'entrée : choisissez un autre nom pour ne pas l'écraser");
        case ERROR_KIND::CONVERTED_IS_REFERENCE:
            return texts.Tr("c'est un des fichiers de référence : renommez l'animation pour ne pas "
                            "l'écraser");
        case ERROR_KIND::LINE_TOO_LONG:
            return texts.Tr("ligne de plus de 4 Mo : ce fichier n'est pas un SMD texte");
        case ERROR_KIND::INCOMPLETE_FRAME_LINE:
            return texts.Tr("ligne de squelette incomplète : {0} champs au lieu de 7", {v(0)});
        case ERROR_KIND::NO_NODES_LINE:
            return texts.Tr("ligne « nodes » introuvable : ce fichier n'est pas un SMD");
        case ERROR_KIND::NODES_NOT_CLOSED:
            return texts.Tr("la liste des nodes n'est pas fermée par une ligne « end »");
        case ERROR_KIND::EMPTY_NODE_LIST: return texts.Tr("la liste des nodes est vide");
        case ERROR_KIND::NO_SKELETON_LINE:
            return texts.Tr("ligne « skeleton » introuvable avant les frames");
        case ERROR_KIND::NO_FRAME0:
            return texts.Tr("aucune frame « time 0 » après la ligne « skeleton »");
        case ERROR_KIND::TIME_WITHOUT_NUMBER: return texts.Tr("ligne « time » sans numéro de frame");
        case ERROR_KIND::MISSING_END:
            return texts.Tr("le fichier se termine sans la ligne « end » qui ferme les frames : "
                            "est-il tronqué ?");
        case ERROR_KIND::NOT_A_NUMBER:
            return texts.Tr("valeur « {0} » : ce n'est pas un nombre fini", {v(0)});
        case ERROR_KIND::NODE_NUMBER_NOT_A_NUMBER:
            return texts.Tr("numéro de node « {0} » : ce n'est pas un nombre entier", {v(0)});
        case ERROR_KIND::NODE_NOT_IN_LIST:
            return texts.Tr("frame « {0} » : le node {1} n'est pas dans la liste des nodes du "
                            "fichier ({2} nodes)",
                            {v(0), v(1), v(2)});
        case ERROR_KIND::NODE_REPEATED_IN_FRAME:
            return texts.Tr("frame « {0} » : le node {1} a déjà une ligne plus haut dans cette "
                            "frame",
                            {v(0), v(1)});
        case ERROR_KIND::NODE_MISSING_IN_FRAME:
            return texts.Tr("frame « {0} » : pas de ligne pour le node {1} (« {2} »), que lit la "
                            "ligne {3} de la grille",
                            {v(0), v(1), v(2), v(3)});
        case ERROR_KIND::ANIMATION_LACKS_NODES: {
            std::string names;
            std::size_t start = 0;
            for (;;) {
                std::size_t end = v(1).find('\n', start);
                names += (names.empty() ? "" : ", ") +
                         texts.Tr("« {0} »", {v(1).substr(start, end - start)});
                if (end == std::string::npos) break;
                start = end + 1;
            }
            return texts.TrPlural("il manque à ses nodes {1}, que la grille lit dans l'animation "
                                  "de référence : choisissez une animation de ce squelette",
                                  "il manque à ses nodes {1}, que la grille lit tous dans "
                                  "l'animation de référence : choisissez une animation de ce "
                                  "squelette",
                                  static_cast<unsigned long>(std::stoul(v(0))), {v(0), names});
        }
        case ERROR_KIND::FRAME0_NO_LINE_FOR_NODE:
            return texts.Tr("node {0} : la frame « {1} » n'a que {2} lignes de squelette, il n'y a "
                            "pas de ligne {3}",
                            {v(0), v(1), v(2), v(3)});
        case ERROR_KIND::FRAME0_NO_LINE_FOR_ROW:
            return texts.Tr("ligne {0} de la grille (NODES « {1} ») : la frame « {2} » n'a que {3} "
                            "lignes de squelette, il n'y a pas de ligne {4}",
                            {v(0), v(1), v(2), v(3), v(4)});
        case ERROR_KIND::FRAME0_NO_LINE_FOR_SPINE:
            return texts.Tr("spine (node {0}) : la frame « {1} » n'a que {2} lignes de squelette, "
                            "il n'y a pas de ligne {3}",
                            {v(0), v(1), v(2), v(3)});
        case ERROR_KIND::LENGTH_NOT_FINITE:
            return texts.Tr("position hors limites (« {0} {1} {2} ») : sa longueur n'est pas un "
                            "nombre fini",
                            {v(0), v(1), v(2)});
        case ERROR_KIND::SCALE_NOT_FINITE:
            return texts.Tr("ligne {0} de la grille : le facteur d'échelle n'est pas un nombre fini",
                            {v(0)});
        case ERROR_KIND::CORRECTION_NOT_FINITE:
            return texts.Tr("ligne {0} de la grille : la Correction « {1} » n'est pas un nombre fini",
                            {v(0), v(1)});
        case ERROR_KIND::NO_REST_LINE:
            return texts.Tr("la première frame du modèle n'a que {0} lignes de squelette : pas de "
                            "position de repos pour le node {1}",
                            {v(0), v(1)});
        case ERROR_KIND::FRAME_TOO_SHORT_FOR_ROW:
            return texts.Tr("frame « {0} » : la ligne {1} de la grille (NODES {2}) désigne la "
                            "ligne de squelette {3}, mais cette frame n'en a que {4}",
                            {v(0), v(1), v(2), v(3), v(4)});
        case ERROR_KIND::POSITION_NOT_FINITE:
            return texts.Tr("la position « {0} {1} {2} » donne pour le node {3} une valeur qui "
                            "n'est pas un nombre fini",
                            {v(0), v(1), v(2), v(3)});
        case ERROR_KIND::CON_TOO_SHORT:
            return texts.Tr("fichier de conversion trop court : {0} octets au lieu de 540", {v(0)});
        case ERROR_KIND::CON_CORRECTION_NOT_FINITE:
            return texts.Tr("ligne {0} : la correction enregistrée n'est pas un nombre fini", {v(0)});
        case ERROR_KIND::BIPED_NODE_MISSING:
            return texts.Tr("la liste des nodes n'a pas de {0} : la conversion en a besoin",
                            {BipedBoneName(v(0), texts)});
        case ERROR_KIND::SPINE_NOT_IN_FRAME0:
            return texts.Tr("la frame « {0} » n'a pas de ligne pour la colonne (node {1})",
                            {v(0), v(1)});
        case ERROR_KIND::NOT_THE_REFERENCE_SKELETON:
            if (e.Values().size() > 2) {
                return texts.Tr("son node {0} (« {1} ») n'est pas {2} de l'animation de référence "
                                ": choisissez une animation du même squelette",
                                {v(0), v(2), ReferenceBoneName(v(1), texts)});
            }
            return texts.Tr("son node {0} (absent) n'est pas {1} de l'animation de référence : "
                            "choisissez une animation du même squelette",
                            {v(0), ReferenceBoneName(v(1), texts)});
        case ERROR_KIND::THIGHS_ALREADY_ON_SPINE:
            return texts.Tr("les deux cuisses sont déjà rattachées à la colonne : rien à convertir");
        case ERROR_KIND::NO_LEGS_RATIO:
            return NoLegsRatioForRootText(v(0) == "1", v(1) == "1", texts);
        case ERROR_KIND::FRAME_NOT_IN_ANIMATION: return FrameNotInAnimationText(v(0), v(1), texts);
        case ERROR_KIND::THIGH_VALUE_NOT_FINITE:
            return texts.Tr("ligne de cuisse : une valeur n'est pas un nombre fini");
        case ERROR_KIND::QC_QUOTE_NOT_CLOSED:
        case ERROR_KIND::QC_BRACE_NOT_CLOSED:
        case ERROR_KIND::QC_BRACE_NOT_OPEN:
        case ERROR_KIND::QC_SEQUENCE_WITHOUT_NAME:
        case ERROR_KIND::QC_SEQUENCE_WITHOUT_FILE:
        case ERROR_KIND::QC_OPTION_WITHOUT_VALUE:
        case ERROR_KIND::QC_PATH_MISSING:
        case ERROR_KIND::QC_TWO_CD:
        case ERROR_KIND::QC_INCLUDE_UNREADABLE:
        case ERROR_KIND::QC_INCLUDE_CYCLE:
        case ERROR_KIND::QC_INCLUDE_TOO_DEEP: return QcErrorMessage(e, texts);
    }
    return texts.Tr("erreur");
}

std::string ErrorText(const CVarnexError& e, const CTextCatalog& texts) {
    std::string message = ErrorMessage(e, texts);
    if (e.File().empty()) return message;
    if (e.Line() > 0) return e.File() + ":" + std::to_string(e.Line()) + ": " + message;
    return e.File() + ": " + message;
}

std::string NoteOverCompilerLimit(const std::string& modelFile, int nodes,
                                  const CTextCatalog& texts) {
    return modelFile + ": " +
           texts.Tr("le modèle a {0} nodes : le compilateur de modèles (studiomdl) n'en accepte "
                    "que {1} et refusera les animations écrites",
                    {std::to_string(nodes), std::to_string(MODEL_COMPILER_MAX_NODES)});
}

std::string NoteUnusedNodes(const std::string& animFile, const std::vector<std::string>& names,
                            const CTextCatalog& texts) {
    std::string list;
    for (const std::string& name : names) {
        list += (list.empty() ? "" : ", ") + texts.Tr("« {0} »", {name});
    }
    return animFile + ": " +
           texts.TrPlural("{0} node que l'animation de référence n'a pas n'est pas lu : {1}",
                          "{0} nodes que l'animation de référence n'a pas ne sont pas lus : {1}",
                          names.size(), {std::to_string(names.size()), list});
}

std::string NoteBeyondNodes(const std::string& refAnimFile, const std::vector<int>& rows,
                            const CTextCatalog& texts) {
    std::string list;
    for (int row : rows) list += (list.empty() ? "" : ", ") + std::to_string(row);
    return refAnimFile + ": " +
           texts.TrPlural("ligne {0} de la grille : le node apparié a un numéro de 100 ou plus, "
                          "que NODES ne peut pas désigner (NODES + 100 veut dire mélange) : NODES "
                          "reste à 0",
                          "lignes {0} de la grille : le node apparié a un numéro de 100 ou plus, "
                          "que NODES ne peut pas désigner (NODES + 100 veut dire mélange) : NODES "
                          "reste à 0",
                          rows.size(), {list});
}

std::string NoteRowsLeftOut(const std::string& conFile, int leftOut, int rows,
                            const CTextCatalog& texts) {
    return conFile + ": " +
           texts.TrPlural("{0} ligne du fichier n'est pas chargée : la grille n'en a que {1}",
                          "{0} lignes du fichier ne sont pas chargées : la grille n'en a que {1}",
                          static_cast<unsigned long>(leftOut),
                          {std::to_string(leftOut), std::to_string(rows)});
}

std::string NoteSameNames(int rows, const CTextCatalog& texts) {
    if (rows == 0) {
        return texts.Tr("aucune ligne non appariée n'a de node du même nom dans l'animation de "
                        "référence");
    }
    return texts.TrPlural("{0} ligne non appariée a un node du même nom dans l'animation de "
                          "référence : --pair-same-names les apparie",
                          "{0} lignes non appariées ont un node du même nom dans l'animation de "
                          "référence : --pair-same-names les apparie",
                          static_cast<unsigned long>(rows), {std::to_string(rows)});
}

}  // namespace varnex
