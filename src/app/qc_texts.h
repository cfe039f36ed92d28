// The words of the .qc reader's refusals and warnings, in the language of a catalog (the French
// originals unless one is given).
#pragma once

#include <string>

#include "platform/text_catalog.h"
#include "platform/varnex_error.h"
#include "qc/qc_reader.h"
#include "qc/qc_set.h"

namespace varnex {

// The message of a refusal of kind QC_...: "la séquence « idle » ne nomme aucun fichier SMD".
std::string QcErrorMessage(const CVarnexError& error, const CTextCatalog& texts = OriginalTexts());
// With its file and line, as ErrorText gives them: "model.qc:12: message". For every error of
// a set: the reading's, and any other kind.
std::string QcErrorText(const CVarnexError& error, const CTextCatalog& texts = OriginalTexts());
// The warning's sentence alone.
std::string QcWarningMessage(const QC_WARNING& warning,
                             const CTextCatalog& texts = OriginalTexts());
// With its file and line: "model.qc:12: avertissement : ...".
std::string QcWarningText(const QC_WARNING& warning, const CTextCatalog& texts = OriginalTexts());

// A warning of a set: its sentence alone, then with its place and its code
// ("model.qc:12: avertissement too-many-smds : ...").
std::string QcSetWarningMessage(const QC_SET_WARNING& warning,
                                const CTextCatalog& texts = OriginalTexts());
std::string QcSetWarningText(const QC_SET_WARNING& warning,
                             const CTextCatalog& texts = OriginalTexts());
// One line per sequence left out: "anims.qc:7: séquence « run » refusée : <the error>".
std::vector<std::string> QcRefusalLines(const QC_REFUSAL& refusal,
                                        const CTextCatalog& texts = OriginalTexts());
// How a set ended, in every front end: "71 séquences écrites dans out".
std::string QcSetDone(int sequences, const std::string& folder,
                      const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
