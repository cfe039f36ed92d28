// What the window remembers between runs: the language chosen in its menu, its checkable options,
// the folder of the last file chosen, and where the window and the preview stood. They live in
// wxWidgets' configuration: on Linux the file $XDG_CONFIG_HOME/varnex.conf (~/.config/varnex.conf),
// on Windows the registry key HKEY_CURRENT_USER\Software\Varnex; VARNEX_SETTINGS names another
// file, as the tests do. The command line reads none of it.
#pragma once

#include <wx/confbase.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

class CRememberedChoices {
  public:
    // Remembers nothing: reads nothing back and writes nowhere.
    CRememberedChoices() = default;
    // Reads and writes config.
    explicit CRememberedChoices(std::unique_ptr<wxConfigBase> config);

    std::optional<std::string> Language() const;
    void SetLanguage(const std::string& language);
    // A checkable option by its key; nothing when it was never set.
    std::optional<bool> Option(const char* key) const;
    void SetOption(const char* key, bool on);
    // The folder, only while it still exists.
    std::optional<wxString> LastFolder() const;
    void SetLastFolder(const wxString& folder);
    // A top-level window's frame ("Window", "Preview"), as it was last left.
    std::optional<wxRect> Place(const char* window) const;
    void SetPlace(const char* window, const wxRect& frame);
    // Forgets everything.
    void Forget();

  private:
    void Write();
    std::unique_ptr<wxConfigBase> m_config;
};

// The user's configuration in the platform's usual place, or the file VARNEX_SETTINGS names.
std::unique_ptr<wxConfigBase> OpenUserSettings();
// A configuration kept in the file path, on every platform.
std::unique_ptr<wxConfigBase> OpenSettingsFile(const wxString& path);

// frame moved, and made smaller if need be, onto the screen (work areas, the main screen first)
// it overlaps most, or the main screen when it overlaps none: a window left on a screen since
// unplugged comes back into sight.
wxRect KeptOnScreen(const wxRect& frame, const std::vector<wxRect>& screens);
// The work areas of the screens now attached, the main screen first.
std::vector<wxRect> ScreenAreas();

}  // namespace varnex
