// The words of the .qc reader's refusals and warnings, in the language of a catalog (the French
// originals unless one is given).
#pragma once

#include <string>

#include "platform/text_catalog.h"
#include "platform/varnex_error.h"
#include "qc/qc_reader.h"

namespace varnex {

// The message of a refusal of kind QC_...: "la séquence « idle » ne nomme aucun fichier SMD".
std::string QcErrorMessage(const CVarnexError& error, const CTextCatalog& texts = OriginalTexts());
// The warning's sentence alone.
std::string QcWarningMessage(const QC_WARNING& warning,
                             const CTextCatalog& texts = OriginalTexts());
// With its file and line: "model.qc:12: avertissement : ...".
std::string QcWarningText(const QC_WARNING& warning, const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
