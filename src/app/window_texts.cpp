#include "app/window_texts.h"

namespace varnex {

std::string PreviewMenuText(const CTextCatalog& texts) { return texts.Tr("A&perçu\tAlt+P"); }
std::string RootFromLegsMenuText(const CTextCatalog& texts) {
    return texts.Tr("&Racine d'après les jambes");
}
std::string PreviewWindowTitle(const CTextCatalog& texts) { return texts.Tr("Varnex : aperçu"); }
std::string PreviewPlayText(const CTextCatalog& texts) { return texts.Tr("Lecture"); }
std::string PreviewPauseText(const CTextCatalog& texts) { return texts.Tr("Pause"); }
std::string PreviewNeedsFilesText(const CTextCatalog& texts) {
    return texts.Tr("L'aperçu a besoin du modèle, de l'animation de référence et d'une "
                    "animation : ouvrez-les d'abord");
}
std::string PreviewFrameText(int frame, int frames, const CTextCatalog& texts) {
    return texts.Tr("frame {0} / {1}", {std::to_string(frame), std::to_string(frames - 1)});
}
std::string PreviewCannotRetargetText(const std::string& reason, const CTextCatalog& texts) {
    return texts.Tr("résultat non calculé : {0}", {reason});
}
std::string PreviewRowProblemText(int row, int line, bool notFinite, const CTextCatalog& texts) {
    if (notFinite) {
        return texts.Tr("la ligne {0} de la grille lit la ligne de squelette {1}, qui ne donne "
                        "pas un nombre fini",
                        {std::to_string(row), std::to_string(line)});
    }
    return texts.Tr("la ligne {0} de la grille lit la ligne de squelette {1}, que cette frame "
                    "n'a pas",
                    {std::to_string(row), std::to_string(line)});
}

}  // namespace varnex
