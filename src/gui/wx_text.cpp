#include "gui/wx_text.h"

#include <wx/filename.h>

namespace varnex {

wxString ToWx(const std::string& text) {
    wxString converted = wxString::FromUTF8(text.data(), text.size());
    if (converted.empty() && !text.empty())
        return wxString(text.data(), wxConvISO8859_1, text.size());
    return converted;
}

std::string FromWx(const wxString& text) { return text.utf8_string(); }

std::string PathFromWx(const wxString& path) {
#ifdef __WINDOWS__
    // Paths are UTF-8 inside Varnex; the platform layer widens them again for the system.
    return path.utf8_string();
#else
    wxCharBuffer bytes = path.fn_str();
    return std::string(bytes.data(), bytes.length());
#endif
}

wxString WildcardOf(const std::string& filter) {
    std::string wildcard = filter;
    // The list ends with an empty pair; wx wants only the pairs.
    while (wildcard.size() >= 2 && wildcard.compare(wildcard.size() - 2, 2, "||") == 0) {
        wildcard.resize(wildcard.size() - 2);
    }
    return ToWx(wildcard);
}

wxString WithDefaultExtension(const wxString& path, const wxString& extension) {
    wxFileName name(path);
    if (name.HasExt() || extension.empty()) return path;
    name.SetExt(extension);
    return name.GetFullPath();
}

}  // namespace varnex
