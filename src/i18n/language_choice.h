// Which language the front ends speak. French is the original: it needs no catalog, and C, POSIX
// and settings that name no language mean French; any other language without a catalog means
// English, which more users read than French.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnex {

// The first of these that names a language wins: the --lang option, the VARNEX_LANG variable,
// then the user's settings in their order (on Linux LANGUAGE, LC_ALL, LC_MESSAGES, LANG; on
// Windows the interface languages). A value may list languages ("de:en") and spell them as the
// system does ("fr_FR.UTF-8", "en-US"); its first one that available holds wins, else English.
// An empty or missing value says nothing; an option not in available is passed over.
std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::vector<std::optional<std::string>>& settings,
                           const std::vector<std::string>& available);
// The same, asking has whether a language is available instead of listing them all: French, the
// usual choice, then needs no look at the catalogs.
std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::vector<std::optional<std::string>>& settings,
                           const std::function<bool(const std::string&)>& has);

// The window's order: a language remembered from an earlier run comes after the option and
// VARNEX_LANG, before the user's settings; like the option, it is passed over when not available.
std::string ChooseLanguage(const std::optional<std::string>& option,
                           const std::optional<std::string>& varnexLang,
                           const std::optional<std::string>& remembered,
                           const std::vector<std::optional<std::string>>& settings,
                           const std::vector<std::string>& available);

// The user's settings as this system gives them, in ChooseLanguage's order.
std::vector<std::optional<std::string>> UserLanguageSettings();
// The variable VARNEX_LANG, or nothing.
std::optional<std::string> VarnexLangVariable();
// The value after the first "--lang" in argv, or nothing (also when --lang is last: empty).
std::optional<std::string> LanguageOption(int argc, const char* const* argv);

}  // namespace varnex
