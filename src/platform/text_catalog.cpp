#include "platform/text_catalog.h"

namespace varnex {

std::string CTextCatalog::Tr(const char* original,
                             std::initializer_list<std::string_view> values) const {
    std::string found = Find(original);
    return FillValues(found.empty() ? std::string_view(original) : std::string_view(found), values);
}

std::string CTextCatalog::TrPlural(const char* singular, const char* plural, unsigned long count,
                                   std::initializer_list<std::string_view> values) const {
    std::string found = FindPlural(singular, count);
    if (!found.empty()) return FillValues(found, values);
    return FillValues(count > 1 ? plural : singular, values);
}

const CTextCatalog& OriginalTexts() {
    static const CTextCatalog ORIGINALS;
    return ORIGINALS;
}

std::string FillValues(std::string_view pattern, std::initializer_list<std::string_view> values) {
    if (values.size() == 0) return std::string(pattern);
    std::string text;
    text.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '0' &&
            pattern[i + 1] <= '9' && pattern[i + 2] == '}') {
            auto n = static_cast<std::size_t>(pattern[i + 1] - '0');
            if (n < values.size()) {
                text += values.begin()[n];
                i += 2;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

}  // namespace varnex
