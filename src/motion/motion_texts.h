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

}  // namespace varnex
