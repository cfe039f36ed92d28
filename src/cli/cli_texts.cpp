#include "cli/cli_texts.h"

#include "app/qc_texts.h"

namespace varnex {

std::string CliMotionHelp(const CTextCatalog& texts) {
    return texts.Tr(MarkText(R"(
Vérifier et voir le mouvement, sans compiler le modèle :
  varnex-cli check   --model M.smd --ref-anim R.smd [options] ANIM.smd [ANIM2.smd ...]
  varnex-cli preview --model M.smd --ref-anim R.smd [options] [-o APERCU.svg] ANIM.smd

  check    compare chaque animation avec son transfert, frame par frame, en mémoire : écart
           d'angle de chaque os (max et moyen, en degrés), hauteurs et déplacement de la
           racine, rapport des jambes, pied le plus bas, pieds (sol, écart au sol, hauteur du
           bassin, appuis de la source et leurs glissements, genoux retournés), nodes posés sur
           leur parent, lignes sans partenaire, avertissements. Les avertissements ne changent
           pas le code de sortie.
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
)"));
}

std::string CliRootMotionUsage(const std::string& given, const CTextCatalog& texts) {
    return texts.Tr("--root-motion attend legs ou scale, pas « {0} »", {given});
}

std::string CliNumberUsage(const std::string& option, const std::string& given,
                           const CTextCatalog& texts) {
    if (option == "--fps") {
        return texts.Tr("{0} attend un nombre entier positif (images par seconde), pas « {1} »",
                        {option, given});
    }
    return texts.Tr("{0} attend un nombre entier positif, pas « {1} »", {option, given});
}

std::string CliFrameListUsage(const std::string& given, const CTextCatalog& texts) {
    return texts.Tr("--frames attend des numéros de frame séparés par des virgules (0,10,20), "
                    "pas « {0} »",
                    {given});
}

std::string CliFramesOrRangeUsage(const CTextCatalog& texts) {
    return texts.Tr("--frames s'emploie sans --from, --to ni --step");
}

std::string CliQcHelp(const CTextCatalog& texts) {
    return texts.Tr(MarkText(R"(
Tout un jeu d'animations d'un .qc :
  varnex-cli qc --model M.smd --ref-anim R.smd --qc SOURCE.qc [--target-qc CIBLE.qc]
                --out-dir DIR [options]

  qc       transfère une fois chaque SMD que nomment les $sequence du .qc source, sous
           DIR (chemins gardés depuis $cd), et écrit DIR/<modèle>.qc : les commandes du .qc
           cible (ou un en-tête minimal), puis chaque séquence de la source dans son ordre,
           avec toutes ses options, nommant les SMD écrits. Une seule grille pour toutes.
           Avertit de ce que le compilateur refuserait ou perdrait.
  --qc SOURCE.qc       le .qc des animations à transférer
  --target-qc CIBLE.qc le .qc du modèle cible : ses commandes propres sont reprises
  --out-dir DIR        (obligatoire) dossier du jeu écrit
  --keep-going         écrit ce qui a pu être transféré et un .qc sans les séquences refusées ;
                       sans elle, une seule animation refusée et rien n'est laissé dans DIR
  et les options de grille de build : --con, --set, --pair-same-names, --root-motion,
  --line-ends, --threads.
)"));
}

std::string CliMethodHelp(const CTextCatalog& texts) {
    return texts.Tr(MarkText(R"(
Méthode de transfert (build, check, preview, grid, qc) :
  --method local|world
                       local (défaut) : chaque node copie la rotation de son partenaire et sa
                       position est multipliée par l'échelle de l'os. world : chaque os pointe
                       comme celui de la source, dans le monde, avec les longueurs d'os du
                       modèle (rien n'est arraché ni écrasé) ; la racine suit les jambes. Pour
                       deux squelettes de familles différentes. Correction pèse la rotation
                       trouvée contre celle du repos (1 : trouvée, 0 : repos).
)"));
}

std::string CliFeetHelp(const CTextCatalog& texts) {
    return texts.Tr(MarkText(R"(
Pieds au sol (build, check, preview, grid, qc) :
  --feet contact|none
                       none (défaut) : les pieds suivent la méthode. contact : les appuis de
                       la source sont trouvés, et le pied du modèle tenu sur son sol pendant
                       tout l'appui, à la place du pied source mise à l'échelle des jambes ;
                       les jambes sont résolues en deux os, le genou tourné comme celui de la
                       source, le bassin abaissé en douceur où une jambe n'atteint pas, et la
                       racine avance de ce que permet le pied posé. Implique --root-motion
                       legs ; vaut pour les deux méthodes.
)"));
}

std::string CliQcDone(int sequences, const std::string& folder, const CTextCatalog& texts) {
    return QcSetDone(sequences, folder, texts);
}

}  // namespace varnex
