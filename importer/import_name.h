#pragma once
// The names an import takes from the file name the host hands over.
#include <string>
#include <string_view>

// The name of the new node: the file's leaf less its last four characters (".vuk"). A leaf of
// four characters or fewer is kept whole, so the node never goes without a name.
std::wstring importNameOfLeaf(std::wstring_view leaf);

// importNameOfLeaf of the leaf of a wide file name (the folders stripped by the host's path rules).
std::wstring importNameOf(const wchar_t* fileName);
