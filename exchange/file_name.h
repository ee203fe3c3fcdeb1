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

// The platform's own form of a file name: the wide name on Windows, the bytes elsewhere.
std::filesystem::path nativePath(const std::string& fileName);

// std::fopen of the file by its native name.
std::FILE* openFile(const std::string& fileName, const char* mode);

// std::remove of the file by its native name; false when it could not be removed.
bool removeFile(const std::string& fileName) noexcept;

}  // namespace vuk
