#include "app/error_text.h"

#include <cstring>

#include "motion/motion_texts.h"
#include "pairing/bone_classifier.h"
#include "pairing/grid.h"

namespace varnex {

namespace {
std::string SystemReason(int errorNumber) { return std::strerror(errorNumber); }

std::string BipedBoneName(const std::string& boneClass) {
    int c = std::stoi(boneClass.empty() ? "0" : boneClass);
    switch (c) {
        case BONE_PELVIS: return "bassin (« Pelvis »)";
        case BONE_SPINE: return "colonne (« Spine »)";
        case BONE_LEFT_THIGH: return "cuisse gauche (« L Thigh » ou « L Leg »)";
        case BONE_RIGHT_THIGH: return "cuisse droite (« R Thigh » ou « R Leg »)";
        default: return "node " + boneClass;
    }
}

std::string ReferenceBoneName(const std::string& boneClass) {
    int c = std::stoi(boneClass.empty() ? "0" : boneClass);
    switch (c) {
        case BONE_SPINE: return "la colonne";
        case BONE_LEFT_THIGH: return "la cuisse gauche";
        default: return "la cuisse droite";
    }
}

std::string Frame0Tail(const CVarnexError& e, std::size_t first) {
    return " : la frame « " + e.Value(first) + " » n'a que " + e.Value(first + 1) +
           " lignes de squelette, il n'y a pas de ligne " + e.Value(first + 2);
}
}  // namespace

std::string ErrorMessage(const CVarnexError& e) {
    const auto& v = [&e](std::size_t i) -> const std::string& { return e.Value(i); };
    switch (e.Kind()) {
        case ERROR_KIND::READ_FOLDER: return "impossible de lire ce fichier : c'est un dossier";
        case ERROR_KIND::OPEN_FAILED:
            return "impossible d'ouvrir le fichier : " + SystemReason(e.SystemError());
        case ERROR_KIND::SEEK_FAILED:
            return "impossible de se placer dans le fichier : " + SystemReason(e.SystemError());
        case ERROR_KIND::FILE_NOT_OPEN: return "fichier non ouvert";
        case ERROR_KIND::READ_FAILED: return "erreur de lecture : " + SystemReason(e.SystemError());
        case ERROR_KIND::WRITE_FOLDER: return "impossible d'écrire ce fichier : c'est un dossier";
        case ERROR_KIND::CREATE_FAILED:
            return "impossible de créer le fichier : " + SystemReason(e.SystemError());
        case ERROR_KIND::OUTPUT_CLOSED: return "fichier de sortie fermé";
        case ERROR_KIND::WRITE_FAILED: return "erreur d'écriture : " + SystemReason(e.SystemError());
        case ERROR_KIND::REPLACE_FAILED:
            return "impossible de remplacer le fichier : " + SystemReason(e.SystemError());
        case ERROR_KIND::OUTPUT_IS_INPUT:
            return "c'est un des fichiers d'entrée : choisissez un autre nom pour ne pas l'écraser";
        case ERROR_KIND::CONVERTED_IS_REFERENCE:
            return "c'est un des fichiers de référence : renommez l'animation pour ne pas "
                   "l'écraser";
        case ERROR_KIND::LINE_TOO_LONG:
            return "ligne de plus de 4 Mo : ce fichier n'est pas un SMD texte";
        case ERROR_KIND::INCOMPLETE_FRAME_LINE:
            return "ligne de squelette incomplète : " + v(0) + " champs au lieu de 7";
        case ERROR_KIND::NO_NODES_LINE:
            return "ligne « nodes » introuvable : ce fichier n'est pas un SMD";
        case ERROR_KIND::NODES_NOT_CLOSED:
            return "la liste des nodes n'est pas fermée par une ligne « end »";
        case ERROR_KIND::EMPTY_NODE_LIST: return "la liste des nodes est vide";
        case ERROR_KIND::NO_SKELETON_LINE: return "ligne « skeleton » introuvable avant les frames";
        case ERROR_KIND::NO_FRAME0: return "aucune frame « time 0 » après la ligne « skeleton »";
        case ERROR_KIND::TIME_WITHOUT_NUMBER: return "ligne « time » sans numéro de frame";
        case ERROR_KIND::MISSING_END:
            return "le fichier se termine sans la ligne « end » qui ferme les frames : "
                   "est-il tronqué ?";
        case ERROR_KIND::NOT_A_NUMBER: return "valeur « " + v(0) + " » : ce n'est pas un nombre fini";
        case ERROR_KIND::FRAME0_NO_LINE_FOR_NODE: return "node " + v(0) + Frame0Tail(e, 1);
        case ERROR_KIND::FRAME0_NO_LINE_FOR_ROW:
            return "ligne " + v(0) + " de la grille (NODES « " + v(1) + " »)" + Frame0Tail(e, 2);
        case ERROR_KIND::FRAME0_NO_LINE_FOR_SPINE:
            return "spine (node " + v(0) + ")" + Frame0Tail(e, 1);
        case ERROR_KIND::LENGTH_NOT_FINITE:
            return "position hors limites (« " + v(0) + " " + v(1) + " " + v(2) +
                   " ») : sa longueur n'est pas un nombre fini";
        case ERROR_KIND::SCALE_NOT_FINITE:
            return "ligne " + v(0) + " de la grille : le facteur d'échelle n'est pas un nombre fini";
        case ERROR_KIND::CORRECTION_NOT_FINITE:
            return "ligne " + v(0) + " de la grille : la Correction « " + v(1) +
                   " » n'est pas un nombre fini";
        case ERROR_KIND::NO_REST_LINE:
            return "la première frame du modèle n'a que " + v(0) +
                   " lignes de squelette : pas de position de repos pour le node " + v(1);
        case ERROR_KIND::FRAME_TOO_SHORT_FOR_ROW:
            return "frame « " + v(0) + " » : la ligne " + v(1) + " de la grille (NODES " + v(2) +
                   ") désigne la ligne de squelette " + v(3) + ", mais cette frame n'en a que " +
                   v(4);
        case ERROR_KIND::POSITION_NOT_FINITE:
            return "la position « " + v(0) + " " + v(1) + " " + v(2) + " » donne pour le node " +
                   v(3) + " une valeur qui n'est pas un nombre fini";
        case ERROR_KIND::CON_TOO_SHORT:
            return "fichier de conversion trop court : " + v(0) + " octets au lieu de 540";
        case ERROR_KIND::CON_CORRECTION_NOT_FINITE:
            return "ligne " + v(0) + " : la correction enregistrée n'est pas un nombre fini";
        case ERROR_KIND::BIPED_NODE_MISSING:
            return "la liste des nodes n'a pas de " + BipedBoneName(v(0)) +
                   " : la conversion en a besoin";
        case ERROR_KIND::SPINE_NOT_IN_FRAME0:
            return "la frame « " + v(0) + " » n'a pas de ligne pour la colonne (node " + v(1) + ")";
        case ERROR_KIND::NOT_THE_REFERENCE_SKELETON:
            return "son node " + v(0) + (e.Values().size() > 2 ? " (« " + v(2) + " »)" : " (absent)") +
                   " n'est pas " + ReferenceBoneName(v(1)) +
                   " de l'animation de référence : choisissez une animation du même squelette";
        case ERROR_KIND::THIGHS_ALREADY_ON_SPINE:
            return "les deux cuisses sont déjà rattachées à la colonne : rien à convertir";
        case ERROR_KIND::NO_LEGS_RATIO: return NoLegsRatioForRootText(v(0) == "1", v(1) == "1");
        case ERROR_KIND::FRAME_NOT_IN_ANIMATION: return FrameNotInAnimationText(v(0), v(1));
        case ERROR_KIND::THIGH_VALUE_NOT_FINITE:
            return "ligne de cuisse : une valeur n'est pas un nombre fini";
    }
    return "erreur";
}

std::string ErrorText(const CVarnexError& e) {
    std::string message = ErrorMessage(e);
    if (e.File().empty()) return message;
    if (e.Line() > 0) return e.File() + ":" + std::to_string(e.Line()) + ": " + message;
    return e.File() + ": " + message;
}

std::string NoteOverCompilerLimit(const std::string& modelFile, int nodes) {
    return modelFile + ": le modèle a " + std::to_string(nodes) +
           " nodes : le compilateur de modèles (studiomdl) n'en accepte que " +
           std::to_string(MODEL_COMPILER_MAX_NODES) + " et refusera les animations écrites";
}

std::string NoteBeyondNodes(const std::string& refAnimFile, const std::vector<int>& rows) {
    std::string list;
    for (int row : rows) list += (list.empty() ? "" : ", ") + std::to_string(row);
    return refAnimFile + ": " + (rows.size() > 1 ? "lignes " : "ligne ") + list +
           " de la grille : le node apparié a un numéro de 100 ou plus, que NODES ne peut pas "
           "désigner (NODES + 100 veut dire mélange) : NODES reste à 0";
}

std::string NoteRowsLeftOut(const std::string& conFile, int leftOut, int rows) {
    return conFile + ": " + std::to_string(leftOut) +
           (leftOut > 1 ? " lignes du fichier ne sont pas chargées" : " ligne du fichier n'est pas chargée") +
           " : la grille n'en a que " + std::to_string(rows);
}

std::string NoteSameNames(int rows) {
    if (rows == 0) return "aucune ligne non appariée n'a de node du même nom dans l'animation de référence";
    return std::to_string(rows) + (rows > 1 ? " lignes non appariées ont" : " ligne non appariée a") +
           " un node du même nom dans l'animation de référence : --pair-same-names les apparie";
}

}  // namespace varnex
