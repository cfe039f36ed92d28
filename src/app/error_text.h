// The words of an error, as the user reads them.
#pragma once

#include <string>

#include "platform/varnex_error.h"

namespace varnex {

// The message alone: "ligne de squelette incomplète : 5 champs au lieu de 7".
std::string ErrorMessage(const CVarnexError& error);
// With its file and line: "walk.smd:57: message", "walk.smd: message", or the message alone.
std::string ErrorText(const CVarnexError& error);

}  // namespace varnex
