// The motion check's report as JSON. Keys and codes are English in every language; numbers have
// six decimals; a value that does not exist is null.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "motion/motion_check.h"
#include "platform/text_catalog.h"

namespace varnex {

// {"animation", "frames", "bones": [{"row", "model_node", "source_node", "max_deg", "mean_deg",
//  "max_frame", "axis_max_deg", "axis_mean_deg"}],
//  "root": {"legs_ratio", "source": {"rest_height", "min_height", "max_height", "travel",
//  "lowest_foot_height"}, "result": {...}}, "feet": {"source_ground", "result_ground",
//  "max_error", "median_error", "pelvis_height", "scaled_source_pelvis_height", "max_pelvis_gap",
//  "max_slide", "slides", "knee_flips", "contacts": [{"side": "left" or "right", "first_frame",
//  "last_frame", "slide"}]}, "collapsed_nodes", "unpaired_rows",
//  "warnings": [{"code", "text"}, with torn-bone and chain-angle "rows": [{"row", "node",
//  "largest" (units or degrees), "frame" (null for torn-bone)}]]}, with a final line end; only the warnings' texts are in the
// catalog's language.
std::string ReportJson(const MOTION_REPORT& report, const CTextCatalog& texts = OriginalTexts());
// One report's object alone, several in an array.
std::string ReportsJson(const std::vector<MOTION_REPORT>& reports,
                        const CTextCatalog& texts = OriginalTexts());

// text as a JSON string with its quotes. Valid UTF-8 passes through; a byte that is not part of
// valid UTF-8 is read as Latin-1 (names from older tools) and written as \u00XX.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace varnex
