// The window's own texts: its menu entries and the preview window's words, in the language of a
// catalog (the French originals unless one is given).
#pragma once

#include <string>

#include "platform/text_catalog.h"

namespace varnex {

// The context menu's entry, with its key.
std::string PreviewMenuText(const CTextCatalog& texts = OriginalTexts());
std::string RootFromLegsMenuText(const CTextCatalog& texts = OriginalTexts());
std::string PreviewWindowTitle(const CTextCatalog& texts = OriginalTexts());
std::string PreviewPlayText(const CTextCatalog& texts = OriginalTexts());
std::string PreviewPauseText(const CTextCatalog& texts = OriginalTexts());
std::string PreviewNeedsFilesText(const CTextCatalog& texts = OriginalTexts());
std::string PreviewFrameText(int frame, int frames, const CTextCatalog& texts = OriginalTexts());
// The preview window's status when the grid cannot be retargeted: the reason, already in words.
std::string PreviewCannotRetargetText(const std::string& reason,
                                      const CTextCatalog& texts = OriginalTexts());
// Grid row `row` reads frame line `line`, which the frame lacks, or which gives no finite number.
std::string PreviewRowProblemText(int row, int line, bool notFinite,
                                  const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
