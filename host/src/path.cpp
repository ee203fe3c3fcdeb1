// File system paths as text.
#include <Path.h>

#include <string>

namespace MaxSDK {
namespace Util {
namespace {

constexpr const wchar_t* kSeparators = L"\\/";

// "C:" and the like: what is left of a path of a drive's root once its separator goes.
bool isDrive(const std::wstring& text) { return text.size() == 2 && text[1] == L':'; }

}  // namespace

Path::Path() = default;
Path::Path(const MSTR& p) : path(p) {}
Path::Path(const MCHAR* p) : path(p) {}
Path::Path(const Path& other) = default;
Path& Path::operator=(const Path& other) = default;
Path::~Path() = default;

Path& Path::StripToLeaf() {
  const std::wstring text = path.data();
  const size_t separator = text.find_last_of(kSeparators);
  if (separator != std::wstring::npos) path = MSTR(text.substr(separator + 1).c_str());
  return *this;
}

Path& Path::RemoveLeaf() {
  const std::wstring text = path.data();
  const size_t separator = text.find_last_of(kSeparators);
  if (separator == std::wstring::npos) {
    path = MSTR(L"");
    return *this;
  }
  std::wstring parent = text.substr(0, separator);
  if (parent.empty() || isDrive(parent)) parent += text[separator];
  path = MSTR(parent.c_str());
  return *this;
}

MSTR Path::GetString() const { return path; }
const MCHAR* Path::GetCStr() const { return path.data(); }

}  // namespace Util
}  // namespace MaxSDK
