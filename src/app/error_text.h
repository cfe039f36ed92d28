// The words of an error, as the user reads them.
#pragma once

#include <string>

#include "platform/varnex_error.h"

namespace varnex {

// The message alone: "ligne de squelette incomplète : 5 champs au lieu de 7".
std::string ErrorMessage(const CVarnexError& error);
// With its file and line: "walk.smd:57: message", "walk.smd: message", or the message alone.
std::string ErrorText(const CVarnexError& error);

// Notes on commands that ran through.
// A model of more nodes than the model compiler accepts.
std::string NoteOverCompilerLimit(const std::string& modelFile, int nodes);
// Rows whose partner is a source node that NODES cannot name.
std::string NoteBeyondNodes(const std::string& refAnimFile, const std::vector<int>& rows);
// Records of a conversion file beyond the grid's rows.
std::string NoteRowsLeftOut(const std::string& conFile, int leftOut, int rows);
// The grid listing's last line: unpaired rows that have a source node of the same name.
std::string NoteSameNames(int rows);

}  // namespace varnex
