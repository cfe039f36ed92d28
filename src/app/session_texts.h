// A session's notes in the user's words, for the front ends that tell them.
#pragma once

#include <string>

#include "platform/text_catalog.h"
#include "session/retarget_session.h"

namespace varnex {

// The note in the command line's words: the file, then what it says.
std::string SessionNoteText(const SESSION_NOTE& note, const CTextCatalog& texts);

}  // namespace varnex
