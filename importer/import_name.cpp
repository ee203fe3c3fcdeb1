#include "import_name.h"

#include <Path.h>
#include <strclass.h>

#include <cstdlib>

std::wstring importNameOfLeaf(std::wstring_view leaf) {
  if (leaf.size() <= 4) return std::wstring(leaf);
  return std::wstring(leaf.substr(0, leaf.size() - 4));
}

std::wstring importNameOf(const wchar_t* fileName) {
  MaxSDK::Util::Path path(fileName);
  path.StripToLeaf();
  const MSTR leaf = path.GetString();
  return importNameOfLeaf(leaf.data());
}

std::optional<std::string> narrowFileName(const wchar_t* fileName) {
  const std::size_t length = std::wcstombs(nullptr, fileName, 0);
  if (length == static_cast<std::size_t>(-1)) return std::nullopt;
  std::string narrow(length + 1, '\0');
  if (std::wcstombs(narrow.data(), fileName, narrow.size()) != length) return std::nullopt;
  narrow.resize(length);
  return narrow;
}
