// Every text of the motion check the user reads: warnings and the report's table, in the language
// of a catalog (the French originals unless one is given); the JSON keys and warning codes are
// not here, they stay the same in every language.
#pragma once

#include <string>

#include "motion/motion_check.h"
#include "motion/motion_warning.h"
#include "platform/text_catalog.h"

namespace varnex {

// The warning's sentence, made from its code and values.
std::string WarningText(const MOTION_WARNING& warning, const CTextCatalog& texts = OriginalTexts());

// The report as a table for people: one line per grid row, then the root, the legs' ratio, the
// collapsed nodes, the unpaired rows and the warnings.
std::string ReportTable(const MOTION_REPORT& report, const CTextCatalog& texts = OriginalTexts());

// The labels of the preview's panels.
std::string PreviewSourceLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewResultLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewFrontLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewSideLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewFrameLabel(int frame, const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
