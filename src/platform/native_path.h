// Paths between Varnex, which keeps every text in UTF-8, and the file system. On Windows the
// conversion goes through the wide-character calls, so that a path in any script opens whatever
// the ANSI code page; elsewhere a path's bytes are passed on as they are.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

// The path that UTF-8 text names, for the std::filesystem calls.
std::filesystem::path PathFromUtf8(const std::string& text);
// A path as UTF-8 text.
std::string Utf8FromPath(const std::filesystem::path& path);
// A path as the system writes it: on Windows every "/" turned into a backslash, so that a path
// the user typed with either and one Varnex composed read alike in messages; elsewhere as it is.
std::string NativePathText(std::string path);
// The separator Varnex puts between a folder and a name it adds.
#ifdef _WIN32
inline constexpr char PATH_SEPARATOR = '\\';
#else
inline constexpr char PATH_SEPARATOR = '/';
#endif
// std::fopen of a UTF-8 path; "x" after "w" creates the file only when it does not exist yet.
// nullptr with errno set when it fails.
std::FILE* OpenFileUtf8(const std::string& path, const char* mode);

#ifdef _WIN32
// UTF-16 of UTF-8 text; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
// UTF-8 of UTF-16 text; a lone surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
#endif
