#include "gui/remembered_choices.h"

#include <wx/config.h>
#include <wx/display.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include <algorithm>

#include "gui/wx_text.h"

namespace varnex {

namespace {
constexpr const char* LANGUAGE_KEY = "/Language";
constexpr const char* FOLDER_KEY = "/LastFolder";

wxString OptionKey(const char* key) { return wxString("/Options/") + key; }
wxString PlaceKey(const char* window, const char* part) {
    return wxString("/") + window + "/" + part;
}

long long Overlap(const wxRect& a, const wxRect& b) {
    wxRect common = a.Intersect(b);
    return common.IsEmpty() ? 0 : static_cast<long long>(common.width) * common.height;
}
}  // namespace

CRememberedChoices::CRememberedChoices(std::unique_ptr<wxConfigBase> config)
    : m_config(std::move(config)) {}

std::optional<std::string> CRememberedChoices::Language() const {
    wxString language;
    if (!m_config || !m_config->Read(LANGUAGE_KEY, &language) || language.empty()) {
        return std::nullopt;
    }
    return FromWx(language);
}

void CRememberedChoices::SetLanguage(const std::string& language) {
    if (!m_config) return;
    m_config->Write(LANGUAGE_KEY, ToWx(language));
    Write();
}

std::optional<bool> CRememberedChoices::Option(const char* key) const {
    bool on = false;
    if (!m_config || !m_config->Read(OptionKey(key), &on)) return std::nullopt;
    return on;
}

void CRememberedChoices::SetOption(const char* key, bool on) {
    if (!m_config) return;
    m_config->Write(OptionKey(key), on);
    Write();
}

std::optional<wxString> CRememberedChoices::LastFolder() const {
    wxString folder;
    if (!m_config || !m_config->Read(FOLDER_KEY, &folder) || !wxDirExists(folder)) {
        return std::nullopt;
    }
    return folder;
}

void CRememberedChoices::SetLastFolder(const wxString& folder) {
    if (!m_config) return;
    m_config->Write(FOLDER_KEY, folder);
    Write();
}

std::optional<wxRect> CRememberedChoices::Place(const char* window) const {
    long x = 0, y = 0, width = 0, height = 0;
    if (!m_config || !m_config->Read(PlaceKey(window, "X"), &x) ||
        !m_config->Read(PlaceKey(window, "Y"), &y) ||
        !m_config->Read(PlaceKey(window, "Width"), &width) ||
        !m_config->Read(PlaceKey(window, "Height"), &height) || width <= 0 || height <= 0) {
        return std::nullopt;
    }
    return wxRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(width),
                  static_cast<int>(height));
}

void CRememberedChoices::SetPlace(const char* window, const wxRect& frame) {
    if (!m_config) return;
    m_config->Write(PlaceKey(window, "X"), static_cast<long>(frame.x));
    m_config->Write(PlaceKey(window, "Y"), static_cast<long>(frame.y));
    m_config->Write(PlaceKey(window, "Width"), static_cast<long>(frame.width));
    m_config->Write(PlaceKey(window, "Height"), static_cast<long>(frame.height));
    Write();
}

void CRememberedChoices::Forget() {
    if (!m_config) return;
    m_config->DeleteAll();
    Write();
}

void CRememberedChoices::Write() {
    // Written at once: a program ended by the system still keeps the choices made before.
    m_config->Flush();
}

std::unique_ptr<wxConfigBase> OpenSettingsFile(const wxString& path) {
    // The folder may not exist yet (a fresh account has no ~/.config).
    wxFileName::Mkdir(wxFileName(path).GetPath(), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return std::make_unique<wxFileConfig>("Varnex", wxEmptyString, path, wxEmptyString,
                                          wxCONFIG_USE_LOCAL_FILE, wxConvUTF8);
}

std::unique_ptr<wxConfigBase> OpenUserSettings() {
    wxString file;
    if (wxGetEnv("VARNEX_SETTINGS", &file) && !file.empty()) return OpenSettingsFile(file);
#ifdef __WINDOWS__
    // HKEY_CURRENT_USER\Software\Varnex.
    return std::make_unique<wxConfig>("Varnex", wxEmptyString, wxEmptyString, wxEmptyString,
                                      wxCONFIG_USE_LOCAL_FILE);
#else
    wxString folder;
    if (!wxGetEnv("XDG_CONFIG_HOME", &folder) || !wxIsAbsolutePath(folder)) {
        folder = wxFileName::GetHomeDir() + "/.config";
    }
    return OpenSettingsFile(folder + "/varnex.conf");
#endif
}

wxRect KeptOnScreen(const wxRect& frame, const std::vector<wxRect>& screens) {
    if (screens.empty()) return frame;
    auto most = std::max_element(screens.begin(), screens.end(),
                                 [&frame](const wxRect& a, const wxRect& b) {
                                     return Overlap(frame, a) < Overlap(frame, b);
                                 });
    const wxRect& screen = Overlap(frame, *most) > 0 ? *most : screens.front();
    wxRect kept = frame;
    kept.width = std::min(kept.width, screen.width);
    kept.height = std::min(kept.height, screen.height);
    kept.x = std::clamp(kept.x, screen.x, screen.x + screen.width - kept.width);
    kept.y = std::clamp(kept.y, screen.y, screen.y + screen.height - kept.height);
    return kept;
}

std::vector<wxRect> ScreenAreas() {
    std::vector<wxRect> areas;
    for (unsigned i = 0; i < wxDisplay::GetCount(); ++i) {
        wxDisplay display(i);
        auto at = display.IsPrimary() ? areas.begin() : areas.end();
        areas.insert(at, display.GetClientArea());
    }
    return areas;
}

}  // namespace varnex
