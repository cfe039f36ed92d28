#include "gui/grid_tooltip.h"

#include "pairing/grid.h"
#include "retarget/node_line.h"
#include "smd_input/number_text.h"

namespace varnex {

namespace {
std::string Quoted(const std::string& name) { return "« " + name + " »"; }

std::string SourceText(int n, const SMD_HEAD& refAnim) {
    std::string text = "source : node " + std::to_string(n);
    if (refAnim.nodes.empty()) return text + " (son nom s'affiche après SMD Ref Animation)";
    if (static_cast<std::size_t>(n) >= refAnim.nodes.size()) {
        return text + ", absent de l'animation de référence (" +
               std::to_string(refAnim.nodes.size()) + " nodes)";
    }
    return text + " " + Quoted(refAnim.nodes[static_cast<std::size_t>(n)].name);
}
}  // namespace

std::string GridRowTooltip(int row, const std::string& nodesText,
                           const std::string& correctionText, const SMD_HEAD& model,
                           int nodeCount, const SMD_HEAD& refAnim) {
    std::string head = "ligne " + std::to_string(row);
    if (nodeCount == 0) return head + " : pas encore de modèle (SMD Ref Modele)";
    if (row >= nodeCount || static_cast<std::size_t>(row) >= model.nodes.size()) {
        return head + " : le modèle n'a que " + std::to_string(nodeCount) +
               " nodes, cette ligne n'est pas écrite";
    }
    head += " : node " + Quoted(model.nodes[static_cast<std::size_t>(row)].name) + " du modèle\n";
    int nodes = TextToInt(nodesText);
    int source = SourceLineOf(row, nodes);
    if (source == REST_LINE) return head + "garde la ligne de repos du modèle";
    std::string text = head + SourceText(source, refAnim);
    if (nodes >= BLEND_OFFSET) {
        text += ", mélange avec la position de repos, poids " + correctionText;
    }
    return text;
}

}  // namespace varnex
