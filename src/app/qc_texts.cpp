#include "app/qc_texts.h"

#include "app/error_text.h"

namespace varnex {

std::string QcErrorMessage(const CVarnexError& e, const CTextCatalog& texts) {
    const auto& v = [&e](std::size_t i) -> const std::string& { return e.Value(i); };
    switch (e.Kind()) {
        case ERROR_KIND::QC_QUOTE_NOT_CLOSED:
            return texts.Tr("guillemet ouvert et non fermé sur sa ligne");
        case ERROR_KIND::QC_BRACE_NOT_CLOSED:
            if (v(2).empty()) {
                return texts.Tr(
                    "l'accolade « { » de « {0} » n'est pas fermée : il manque une « } » "
                    "avant la fin du fichier",
                    {v(0)});
            }
            return texts.Tr(
                "l'accolade « { » de « {0} » n'est pas fermée : il manque une « } » "
                "avant la commande de la ligne {1}",
                {v(0), v(2)});
        case ERROR_KIND::QC_BRACE_NOT_OPEN:
            return texts.Tr("accolade « } » sans « { » qui lui corresponde");
        case ERROR_KIND::QC_SEQUENCE_WITHOUT_NAME:
            return texts.Tr("$sequence sans nom de séquence sur sa ligne");
        case ERROR_KIND::QC_SEQUENCE_WITHOUT_FILE:
            return texts.Tr("la séquence « {0} » ne nomme aucun fichier SMD", {v(0)});
        case ERROR_KIND::QC_OPTION_WITHOUT_VALUE:
            return texts.Tr("séquence « {0} » : l'option « {1} » attend {2} valeur(s) sur sa ligne",
                            {v(0), v(1), v(2)});
        case ERROR_KIND::QC_PATH_MISSING:
            return texts.Tr("« {0} » attend un chemin sur sa ligne", {v(0)});
        case ERROR_KIND::QC_TWO_CD:
            return texts.Tr(
                "second $cd : le compilateur de modèles n'en accepte qu'un (le premier "
                "est ligne {0})",
                {v(0)});
        case ERROR_KIND::QC_INCLUDE_UNREADABLE:
            return texts.Tr("impossible de lire le fichier inclus « {0} » ({1}) : {2}",
                            {v(0), v(1), SystemReason(e.SystemError(), texts)});
        case ERROR_KIND::QC_INCLUDE_CYCLE:
            return texts.Tr(
                "« $include {0} » inclut un fichier en cours de lecture : les inclusions "
                "bouclent",
                {v(0)});
        case ERROR_KIND::QC_INCLUDE_TOO_DEEP:
            return texts.Tr(
                "« $include {0} » : plus de {1} inclusions imbriquées, le compilateur de "
                "modèles refuse",
                {v(0), v(1)});
        default:
            return ErrorMessage(e, texts);
    }
}

std::string QcErrorText(const CVarnexError& e, const CTextCatalog& texts) {
    std::string message = QcErrorMessage(e, texts);
    if (e.File().empty()) return message;
    if (e.Line() > 0) return e.File() + ":" + std::to_string(e.Line()) + ": " + message;
    return e.File() + ": " + message;
}

std::string QcWarningMessage(const QC_WARNING& w, const CTextCatalog& texts) {
    const auto& v = [&w](std::size_t i) -> std::string_view {
        return i < w.values.size() ? std::string_view(w.values[i]) : std::string_view();
    };
    switch (w.code) {
        case QC_WARNING_CODE::SEQUENCE_IN_BLOCK_COMMENT:
            return texts.Tr(
                "la séquence « {0} » est dans un bloc « /* */ » ouvert ligne {1} : le "
                "compilateur de modèles ne connaît pas ces commentaires et la lit ; "
                "elle est gardée",
                {v(0), v(1)});
        case QC_WARNING_CODE::CD_NOT_FOUND:
            return texts.Tr(
                "le dossier $cd « {0} » n'existe pas ici : les SMD sont cherchés dans "
                "le dossier du .qc ({1})",
                {v(0), v(1)});
        case QC_WARNING_CODE::NO_CD:
            return texts.Tr("pas de $cd : les SMD sont cherchés dans le dossier du .qc ({0})",
                            {v(0)});
        case QC_WARNING_CODE::COMMENT_STOPS_COMPILER:
            return texts.Tr(
                "séquence « {0} » : le compilateur de modèles s'arrête sur un "
                "commentaire « // » ou « # » à cette place (« Line is incomplete ») ; "
                "mettez-le sur une ligne à lui",
                {v(0)});
        case QC_WARNING_CODE::BYTE_OUTSIDE_QUOTES:
            return texts.Tr(
                "« {0} » touche un caractère non ASCII hors guillemets, que le "
                "compilateur de modèles lit comme un blanc : mettez le nom entre "
                "guillemets",
                {PrintableText(v(0))});
        case QC_WARNING_CODE::COMMAND_CASE:
            return texts.Tr(
                "« {0} » n'est pas « {1} » : le compilateur de modèles distingue les "
                "majuscules et refusera cette commande, gardée telle quelle",
                {v(0), v(1)});
    }
    return texts.Tr("avertissement");
}

std::string QcWarningText(const QC_WARNING& w, const CTextCatalog& texts) {
    std::string where = w.file;
    if (w.line > 0) {
        where += ':';
        where += std::to_string(w.line);
    }
    return where + ": " + texts.Tr("avertissement : {0}", {QcWarningMessage(w, texts)});
}

namespace {
// Whose limits these are: other compilers raise some of them.
std::string HalfLifeLimits(const CTextCatalog& texts) {
    return texts.Tr("limite du compilateur de modèles du SDK de Half-Life");
}
}  // namespace

std::string QcSetWarningMessage(const QC_SET_WARNING& w, const CTextCatalog& texts) {
    using C = QC_SET_WARNING_CODE;
    const auto& v = [&w](std::size_t i) -> std::string_view {
        return i < w.values.size() ? std::string_view(w.values[i]) : std::string_view();
    };
    switch (w.code) {
        case C::MODEL_WITHOUT_TRIANGLES:
            return texts.Tr(
                "le modèle n'a pas de bloc « triangles » : le compilateur de modèles ne garde que "
                "les os qu'utilisent des sommets ; donnez le .qc du modèle ou un SMD avec son "
                "maillage");
        case C::TOO_MANY_NODES:
            return texts.Tr(
                "le modèle a {0} nodes : le compilateur refuse 128 os ou plus (il compte ceux "
                "qu'utilisent des sommets et leurs parents ; les nodes inutilisés peuvent être "
                "retirés) ({1})",
                {v(1), HalfLifeLimits(texts)});
        case C::NODE_NAME_TOO_LONG:
            return texts.Tr("le nom du node « {0} » dépasse 31 caractères : il sera coupé ({1})",
                            {PrintableText(v(0)), HalfLifeLimits(texts)});
        case C::SEQUENCE_NAME_TOO_LONG:
            return texts.Tr(
                "le nom de la séquence « {0} » dépasse 31 caractères : il sera coupé ({1})",
                {PrintableText(v(0)), HalfLifeLimits(texts)});
        case C::EVENT_TEXT_TOO_LONG:
            return texts.Tr(
                "séquence « {0} » : le texte d'event « {1} » dépasse 63 caractères ({2})",
                {PrintableText(v(0)), PrintableText(v(1)), HalfLifeLimits(texts)});
        case C::TOO_MANY_SEQUENCES:
            return texts.Tr("{0} séquences : le compilateur n'en garde que 256 ({1})",
                            {v(0), HalfLifeLimits(texts)});
        case C::TIME_OUTSIDE_RANGE:
            return texts.Tr(
                "{0} : {1} numéro(s) de frame (time) hors de 0 à 511 (de {2} à {3}) : le "
                "compilateur les ignore sans rien dire ({4})",
                {v(0), v(1), v(2), v(3), HalfLifeLimits(texts)});
        case C::FRAME_RANGE_ABOVE_LIMIT:
            return texts.Tr(
                "séquence « {0} » : l'option frame finit à {1}, au-delà de 511 ({2})",
                {PrintableText(v(0)), v(1), HalfLifeLimits(texts)});
        case C::FRAME_RANGE_OUTSIDE_TIMES:
            return texts.Tr(
                "séquence « {0} » : l'option frame {1} {2} sort des frames de {3} (time {4} à "
                "{5}) : le compilateur ne garde que celles du fichier",
                {PrintableText(v(0)), v(1), v(2), v(3), v(4), v(5)});
        case C::TOO_MANY_SMDS:
            return texts.Tr("séquence « {0} » : {1} SMD, le compilateur en lit 16 au plus ({2})",
                            {PrintableText(v(0)), v(1), HalfLifeLimits(texts)});
        case C::PATH_TOO_LONG:
            return texts.Tr("le chemin « {0} » fait 64 caractères ou plus ({1})",
                            {PrintableText(v(0)), HalfLifeLimits(texts)});
        case C::PARENT_DISAGREES:
            return texts.Tr(
                "{0} : le parent du node « {1} » est « {2} », celui du modèle « {3} » : le "
                "compilateur s'arrête sur ce désaccord",
                {v(0), PrintableText(v(1)), PrintableText(v(2)), PrintableText(v(3))});
        case C::PLAYER_NODES_MISSING:
            return texts.Tr(
                "séquences de joueur, mais le modèle n'a pas de node nommé exactement :\n{0}\nle "
                "jeu sépare par ces nodes les jambes qui marchent du torse",
                {PrintableText(v(0))});
        case C::SOURCE_OPTION_COPIED:
            return texts.Tr(
                "séquence « {0} » : l'option « {1} » est copiée telle quelle, mais ses valeurs "
                "sont mesurées sur le squelette source",
                {PrintableText(v(0)), v(1)});
    }
    return texts.Tr("avertissement");
}

std::string QcSetWarningText(const QC_SET_WARNING& w, const CTextCatalog& texts) {
    std::string where = w.file;
    if (w.line > 0) {
        where += ':';
        where += std::to_string(w.line);
    }
    return texts.Tr("{0}: avertissement {1} : {2}",
                    {where, QcSetWarningCodeText(w.code), QcSetWarningMessage(w, texts)});
}

std::vector<std::string> QcRefusalLines(const QC_REFUSAL& refusal, const CTextCatalog& texts) {
    std::vector<std::string> lines;
    std::string why = QcErrorText(refusal.error, texts);
    for (const QC_SEQUENCE_PLACE& seq : refusal.sequences) {
        lines.push_back(seq.file + ":" + std::to_string(seq.line) + ": " +
                        texts.Tr("séquence « {0} » refusée : {1}", {PrintableText(seq.name), why}));
    }
    return lines;
}

std::string QcSetDone(int sequences, const std::string& folder, const CTextCatalog& texts) {
    return texts.TrPlural("{0} séquence écrite dans {1}", "{0} séquences écrites dans {1}",
                          static_cast<unsigned long>(sequences),
                          {std::to_string(sequences), folder});
}

}  // namespace varnex
