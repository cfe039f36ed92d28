#include "gui/grid_tooltip.h"

#include "pairing/grid.h"
#include "retarget/node_line.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
std::string SourceText(int n, const SMD_HEAD& refAnim, const CTextCatalog& texts) {
    std::string node = std::to_string(n);
    if (refAnim.nodes.empty()) {
        return texts.Tr("source : node {0} (son nom s'affiche après SMD Ref Animation)", {node});
    }
    if (static_cast<std::size_t>(n) >= refAnim.nodes.size()) {
        return texts.Tr("source : node {0}, absent de l'animation de référence ({1} nodes)",
                        {node, std::to_string(refAnim.nodes.size())});
    }
    return texts.Tr("source : node {0} « {1} »",
                    {node, refAnim.nodes[static_cast<std::size_t>(n)].name});
}
}  // namespace

std::string GridRowTooltip(int row, const std::string& nodesText,
                           const std::string& correctionText, const SMD_HEAD& model,
                           int nodeCount, const SMD_HEAD& refAnim, const CTextCatalog& texts) {
    std::string rowText = std::to_string(row);
    if (nodeCount == 0)
        return texts.Tr("ligne {0} : pas encore de modèle (SMD Ref Modele)", {rowText});
    if (row >= nodeCount || static_cast<std::size_t>(row) >= model.nodes.size()) {
        return texts.Tr("ligne {0} : le modèle n'a que {1} nodes, cette ligne n'est pas écrite",
                        {rowText, std::to_string(nodeCount)});
    }
    std::string head = texts.Tr("ligne {0} : node « {1} » du modèle",
                                {rowText, model.nodes[static_cast<std::size_t>(row)].name}) +
                       '\n';
    DECODED_ROW decoded = DecodeRow(row, RETARGET_ROW{TextToInt(nodesText)});
    if (decoded.source == REST_LINE) return head + texts.Tr("garde la ligne de repos du modèle");
    std::string text = head + SourceText(decoded.source, refAnim, texts);
    if (decoded.blend) {
        text += texts.Tr(", mélange avec la position de repos, poids {0}", {correctionText});
    }
    return text;
}

}  // namespace varnex
