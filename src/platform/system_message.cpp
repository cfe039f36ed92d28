#include "platform/system_message.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "platform/native_path.h"
#else
#include <locale.h>

#include <cctype>
#endif

#ifdef _WIN32
namespace {
// The Windows error behind each errno the C runtime and the file system library give for a
// reason Varnex does not word itself.
struct WINDOWS_ERROR {
    int errorNumber;
    DWORD code;
};
constexpr WINDOWS_ERROR WINDOWS_ERRORS[] = {
    {ENOTDIR, ERROR_DIRECTORY},          {EEXIST, ERROR_ALREADY_EXISTS},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EBADF, ERROR_INVALID_HANDLE},       {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EXDEV, ERROR_NOT_SAME_DEVICE},      {EBUSY, ERROR_BUSY},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
};

std::string MessageText(DWORD code, LANGID language) {
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length > 0 ? Utf8FromWide(std::wstring_view(buffer, length)) : "";
    LocalFree(buffer);
    // Said inside a sentence of Varnex's: no line end, no full stop.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    return text;
}
}  // namespace

std::string SystemMessage(int errorNumber, const std::string& language) {
    const WINDOWS_ERROR* error = nullptr;
    for (const WINDOWS_ERROR& candidate : WINDOWS_ERRORS) {
        if (candidate.errorNumber == errorNumber) error = &candidate;
    }
    LCID locale = LocaleNameToLCID(WideFromUtf8(language).c_str(), 0);
    if (error == nullptr || locale == 0) return "";
    std::string text = MessageText(error->code, LANGIDFROMLCID(locale));
    // A system without that language's table may answer in English.
    LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    if (language != "en" && text == MessageText(error->code, english)) return "";
    return text;
}
#else
std::string SystemMessage(int errorNumber, const std::string& language) {
    locale_t words = static_cast<locale_t>(nullptr);
    if (language.size() == 2 && language != "en") {
        // "fr" is read through fr_FR.UTF-8, the locale that carries the C library's French.
        std::string name = language + "_";
        for (char c : language) {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        name += ".UTF-8";
        words = newlocale(LC_ALL_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    }
    if (words == static_cast<locale_t>(nullptr)) {
        words = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    }
    if (words != static_cast<locale_t>(nullptr)) {
        std::string text = strerror_l(errorNumber, words);
        freelocale(words);
        return text;
    }
    return std::strerror(errorNumber);
}
#endif
