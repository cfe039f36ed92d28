// The words of an error, as the user reads them, in the language of a catalog (the French
// originals unless one is given: the front ends always give theirs).
#pragma once

#include <string>
#include <vector>

#include "platform/text_catalog.h"
#include "platform/varnex_error.h"

namespace varnex {

// The message alone: "ligne de squelette incomplète : 5 champs au lieu de 7".
std::string ErrorMessage(const CVarnexError& error, const CTextCatalog& texts = OriginalTexts());
// With its file and line: "walk.smd:57: message", "walk.smd: message", or the message alone.
std::string ErrorText(const CVarnexError& error, const CTextCatalog& texts = OriginalTexts());
// The system's reason for a failed file operation (an errno value): Varnex's own words for the
// common ones (missing, forbidden, a folder, disk full, read-only, too large, and on Windows a
// name it refuses), in the catalog's language; for the others the system's words in that language
// (SystemMessage), never the language the process's locale happens to have; where Windows has no
// words in that language, "erreur système" and the number.
std::string SystemReason(int errorNumber, const CTextCatalog& texts = OriginalTexts());

// Notes on commands that ran through.
// A model of more nodes than the model compiler accepts.
std::string NoteOverCompilerLimit(const std::string& modelFile, int nodes,
                                  const CTextCatalog& texts = OriginalTexts());
// Rows whose partner is a source node that NODES cannot name.
// An animation whose nodes the reference animation lacks: those nodes are not read.
std::string NoteUnusedNodes(const std::string& animFile, const std::vector<std::string>& names,
                            const CTextCatalog& texts);
std::string NoteBeyondNodes(const std::string& refAnimFile, const std::vector<int>& rows,
                            const CTextCatalog& texts = OriginalTexts());
// Records of a conversion file beyond the grid's rows.
std::string NoteRowsLeftOut(const std::string& conFile, int leftOut, int rows,
                            const CTextCatalog& texts = OriginalTexts());
// The grid listing's last line: unpaired rows that have a source node of the same name.
std::string NoteSameNames(int rows, const CTextCatalog& texts = OriginalTexts());

}  // namespace varnex
