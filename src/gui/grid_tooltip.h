// What a grid row's numbers mean, in the words of the window's tooltips, in the window's
// language.
#pragma once

#include <string>

#include "platform/text_catalog.h"
#include "smd_input/smd_reader.h"

namespace varnex {

// The tooltip of row's two boxes, NODES and Correction being the texts they hold: the model node
// the row writes, then the source node its NODES value reads (by name when the reference animation
// is loaded, refAnim being empty otherwise), or that it keeps the model's rest line, or blends with
// the rest position and with what weight. Rows from nodeCount on write nothing, and say so.
std::string GridRowTooltip(int row, const std::string& nodesText,
                           const std::string& correctionText, const SMD_HEAD& model,
                           int nodeCount, const SMD_HEAD& refAnim,
                           const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
