// Texts between the engine (UTF-8 std::string, paths as the file system's bytes) and wxWidgets.
#pragma once

#include <wx/string.h>

#include <string>

namespace varnex {

// Engine text to wx. Bytes that are not UTF-8 (a path in an older encoding) are taken as Latin-1
// rather than lost.
wxString ToWx(const std::string& text);
// A text typed on screen, as UTF-8.
std::string FromWx(const wxString& text);
// A path chosen on screen, as the file system's bytes.
std::string PathFromWx(const wxString& path);
// path with ".extension" added when its file name has no extension.
wxString WithDefaultExtension(const wxString& path, const wxString& extension);
// A filter "text|pattern||" as the file dialog wants it, "text|pattern".
wxString WildcardOf(const std::string& filter);

}  // namespace varnex
