#include "i18n/language_choice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

#include "i18n/catalog_folders.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace varnex {

namespace {
constexpr const char* OTHER_LANGUAGES = "en";

using LANGUAGE_TEST = std::function<bool(const std::string&)>;

// One item of a setting ("fr_FR.UTF-8@euro", "en-US", "C") as the codes a catalog may carry,
// the most precise first: "pt_BR", "pt". C and POSIX are the original language.
std::vector<std::string> CodesOf(std::string_view item) {
    item = item.substr(0, item.find_first_of(".@"));
    if (item.empty()) return {};
    if (item == "C" || item == "POSIX") return {ORIGINAL_LANGUAGE};
    std::string code;
    for (char c : item) code += c == '-' ? '_' : c;
    std::size_t cut = code.find('_');
    for (std::size_t i = 0; i < code.size() && i < cut; ++i) {
        code[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
    }
    if (cut == std::string::npos) return {code};
    return {code, code.substr(0, cut)};
}

// The language a setting names: its first item that a catalog serves, else English; nothing when
// the setting says nothing.
std::optional<std::string> LanguageOf(const std::optional<std::string>& setting,
                                      const LANGUAGE_TEST& has) {
    if (!setting || setting->empty()) return std::nullopt;
    bool named = false;
    std::string_view rest = *setting;
    while (true) {
        std::size_t colon = rest.find(':');
        for (const std::string& code : CodesOf(rest.substr(0, colon))) {
            named = true;
            if (has(code)) return code;
        }
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    if (!named) return std::nullopt;
    return std::string(OTHER_LANGUAGES);
}

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

// The whole order; the public forms ask it.
std::string ChooseInOrder(const std::optional<std::string>& option,
                          const std::optional<std::string>& varnexLang,
                          const std::optional<std::string>& remembered,
                          const std::vector<std::optional<std::string>>& settings,
                          const LANGUAGE_TEST& has) {
    if (option && has(*option)) return *option;
    if (auto language = LanguageOf(varnexLang, has)) return *language;
    if (remembered && has(*remembered)) return *remembered;
    for (const std::optional<std::string>& setting : settings) {
        if (auto language = LanguageOf(setting, has)) return *language;
    }
    return ORIGINAL_LANGUAGE;
}

bool Among(const std::vector<std::string>& available, const std::string& language) {
    return std::find(available.begin(), available.end(), language) != available.end();
}
}  // namespace

std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::vector<std::optional<std::string>>& settings,
                           const std::vector<std::string>& available) {
    return ChooseLanguage(option, varnexLang, std::nullopt, settings, available);
}

std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::vector<std::optional<std::string>>& settings,
                           const LANGUAGE_TEST& has) {
    return ChooseInOrder(option, varnexLang, std::nullopt, settings, has);
}

std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::optional<std::string>& remembered,
                           const std::vector<std::optional<std::string>>& settings,
                           const std::vector<std::string>& available) {
    return ChooseInOrder(
        option, varnexLang, remembered, settings,
        [&available](const std::string& language) { return Among(available, language); });
}

std::vector<std::optional<std::string>> UserLanguageSettings() {
#ifdef _WIN32
    // The interface languages the user chose, most wanted first: "fr-FR\0en-US\0\0".
    ULONG count = 0;
    ULONG size = 0;
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) || size == 0) {
        return {};
    }
    std::wstring names(size, L'\0');
    if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) return {};
    std::string list;
    for (wchar_t c : names) {
        if (c == L'\0') {
            if (!list.empty() && list.back() == ':') break;
            list += ':';
        } else {
            list += static_cast<char>(c < 128 ? c : '?');
        }
    }
    return {list};
#else
    return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
#endif
}

std::optional<std::string> VarnexLangVariable() { return Variable("VARNEX_LANG"); }

std::optional<std::string> LanguageOption(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--lang") {
            return i + 1 < argc ? std::string(argv[i + 1]) : std::string();
        }
    }
    return std::nullopt;
}

}  // namespace varnex
