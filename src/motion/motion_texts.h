// Every text of the motion check the user reads: warnings and the report's table. French today;
// the JSON keys and warning codes are not here, they stay the same in every language.
#pragma once

#include <string>

#include "motion/motion_check.h"
#include "motion/motion_warning.h"

namespace varnex {

// The warning's sentence, made from its code and values.
std::string WarningText(const MOTION_WARNING& warning);

// The report as a table for people: one line per grid row, then the root, the legs' ratio, the
// collapsed nodes, the unpaired rows and the warnings.
std::string ReportTable(const MOTION_REPORT& report);

// The labels of the preview's panels.
std::string PreviewSourceLabel();
std::string PreviewResultLabel();
std::string PreviewFrontLabel();
std::string PreviewSideLabel();
std::string PreviewFrameLabel(int frame);

// The warning as the window says it: the advice points to the window's menu entry, not to the
// command line's option.
std::string WindowWarningText(const MOTION_WARNING& warning);
// A warning on a command line's standard error: "walk.smd: avertissement root-range : ...".
std::string WarningNote(const std::string& file, const MOTION_WARNING& warning);

// Refusals of the commands that retarget in memory.
std::string NoLegsRatioForRootText(bool modelHasLegs, bool sourceHasLegs);
std::string FrameNotInAnimationText(const std::string& frame, const std::string& frames);
// The preview shows the first `shown` frames of `frames`.
std::string PreviewCutNote(const std::string& file, int frames, int shown);

// The command line's texts for check, preview and --root-motion.
std::string CliMotionHelp();
std::string CliRootMotionUsage(const std::string& given);
std::string CliNumberUsage(const std::string& option, const std::string& given);
std::string CliFrameListUsage(const std::string& given);
std::string CliOutputForOneAnimationUsage();
std::string CliFramesOrRangeUsage();

// The window's texts.
std::string PreviewMenuText();     // the context menu's entry, with its key
std::string RootFromLegsMenuText();
std::string PreviewWindowTitle();
std::string PreviewPlayText();
std::string PreviewPauseText();
std::string PreviewNeedsFilesText();
std::string PreviewFrameText(int frame, int frames);
// The preview window's status when the grid cannot be retargeted: the reason, already in words.
std::string PreviewCannotRetargetText(const std::string& reason);
// Grid row `row` reads frame line `line`, which the frame lacks, or which gives no finite number.
std::string PreviewRowProblemText(int row, int line, bool notFinite);

}  // namespace varnex
