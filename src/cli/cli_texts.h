// The command line's texts for check, preview, qc and --root-motion, in the language of texts.
#pragma once

#include <string>

#include "platform/text_catalog.h"

namespace varnex {

std::string CliMotionHelp(const CTextCatalog& texts = OriginalTexts());
std::string CliQcHelp(const CTextCatalog& texts = OriginalTexts());
std::string CliMethodHelp(const CTextCatalog& texts = OriginalTexts());
std::string CliFeetHelp(const CTextCatalog& texts = OriginalTexts());
// The last line of a qc run: how many sequences, into which folder.
std::string CliQcDone(int sequences, const std::string& folder,
                      const CTextCatalog& texts = OriginalTexts());
std::string CliRootMotionUsage(const std::string& given,
                               const CTextCatalog& texts = OriginalTexts());
std::string CliNumberUsage(const std::string& option, const std::string& given,
                           const CTextCatalog& texts = OriginalTexts());
std::string CliFrameListUsage(const std::string& given,
                              const CTextCatalog& texts = OriginalTexts());
std::string CliFramesOrRangeUsage(const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
