#include "import_name.h"

#include <Path.h>
#include <strclass.h>


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
