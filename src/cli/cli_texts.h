// The command line's texts for check, preview and --root-motion, in the language of texts.
#pragma once

#include <string>

#include "platform/text_catalog.h"

namespace varnex {

std::string CliMotionHelp(const CTextCatalog& texts = OriginalTexts());
std::string CliRootMotionUsage(const std::string& given,
                               const CTextCatalog& texts = OriginalTexts());
std::string CliNumberUsage(const std::string& option, const std::string& given,
                           const CTextCatalog& texts = OriginalTexts());
std::string CliFrameListUsage(const std::string& given,
                              const CTextCatalog& texts = OriginalTexts());
std::string CliFramesOrRangeUsage(const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
