// The words the user reads, in the user's language. Every text is written in the code in French,
// its original language, and looked up in a catalog by that original; the front ends supply a
// catalog of the chosen language (src/i18n), and the engine only receives one.
//
// The texts are marked for the extraction of the translators' template (xgettext): Tr and
// TrPlural look a text up, MarkText only marks a text that is looked up later. A text's values
// stand in it as {0}, {1}, ... so that each language places them where its grammar wants them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace varnex {

class CTextCatalog {
  public:
    virtual ~CTextCatalog() = default;

    // The text in the catalog's language for the French original, its {n} replaced by values[n];
    // the original itself where the catalog has no translation.
    std::string Tr(const char* original, std::initializer_list<std::string_view> values = {}) const;
    // The form of a text that counts something, for count; without a translation, the French
    // rule: the singular up to 1, the plural beyond.
    std::string TrPlural(const char* singular, const char* plural, unsigned long count,
                         std::initializer_list<std::string_view> values = {}) const;
    // The code of the catalog's language: "fr" for the originals, "en", ...
    virtual std::string Language() const { return "fr"; }

  protected:
    // The translation, or nothing (an empty text) when the catalog has none.
    virtual std::string Find(const char* /*original*/) const { return std::string(); }
    virtual std::string FindPlural(const char* /*singular*/, unsigned long /*count*/) const {
        return std::string();
    }
};

// The French originals: no catalog, every text as written.
const CTextCatalog& OriginalTexts();

// A text marked for the template but looked up later (tables of labels).
constexpr const char* MarkText(const char* original) { return original; }

// pattern with each {n} (n from 0 to 9) replaced by values[n]; a {n} without a value stays.
std::string FillValues(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace varnex
