#pragma once
// File names as the modules and the exchange code carry them: 8-bit texts in UTF-8, made from the
// host's wide names without loss. A file is always opened by its wide name on Windows and by
// these very bytes elsewhere, so opening never depends on the system's code page.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace vuk {

// The wide name in UTF-8; nothing when it holds a code unit that is no character (a lone
// surrogate), which no UTF-8 name can stand for.
std::optional<std::string> fileNameOf(const wchar_t* wide);

// The wide text of UTF-8 bytes: the inverse of fileNameOf, for names and for texts that carry
// them (a failure's reason). Every byte that begins no character (a sequence cut short,
// overlong, a surrogate or beyond U+10FFFF) becomes U+FFFD.
std::wstring wideTextOf(const std::string& utf8);

// The platform's own form of a file name: the wide name on Windows, the bytes elsewhere.
std::filesystem::path nativePath(const std::string& fileName);

// std::fopen of the file by its native name.
std::FILE* openFile(const std::string& fileName, const char* mode);

// std::remove of the file by its native name; false when it could not be removed.
bool removeFile(const std::string& fileName) noexcept;

}  // namespace vuk
