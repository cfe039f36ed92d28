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

// The report as a table for people: one line per grid row, then the root, the feet, the legs' ratio, the
// collapsed nodes, the unpaired rows and the warnings.
std::string ReportTable(const MOTION_REPORT& report, const CTextCatalog& texts = OriginalTexts());

// The labels of the preview's panels.
std::string PreviewSourceLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewResultLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewFrontLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewSideLabel(const CTextCatalog& texts = OriginalTexts());
std::string PreviewFrameLabel(int frame, const CTextCatalog& texts = OriginalTexts());

// The warning as the window says it: the advice points to the window's menu entry, not to the
// command line's option.
std::string WindowWarningText(const MOTION_WARNING& warning,
                              const CTextCatalog& texts = OriginalTexts());
// A warning on a command line's standard error: "walk.smd: avertissement root-range : ...".
std::string WarningNote(const std::string& file, const MOTION_WARNING& warning,
                        const CTextCatalog& texts = OriginalTexts());

// Refusals of the commands that retarget in memory.
std::string NoLegsRatioForRootText(bool modelHasLegs, bool sourceHasLegs,
                                   const CTextCatalog& texts = OriginalTexts());
std::string FrameNotInAnimationText(const std::string& frame, const std::string& frames,
                                    const CTextCatalog& texts = OriginalTexts());
// The preview shows the first `shown` frames of `frames`.
std::string PreviewCutNote(const std::string& file, int frames, int shown,
                           const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
