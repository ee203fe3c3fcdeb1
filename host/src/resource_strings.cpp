// Module string tables. Windows keeps them in a language resource file beside the module; here
// that file is `<module dir>/en-US/<module file name>.strings`: UTF-8, one `<id><TAB><text>` per
// line, with \n, \t and \\ in the text standing for a line break, a tab and a backslash. Lines of
// any other shape are passed over; of two lines with one id the first counts.
#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

#include <windows.h>

#include "utf8_text.h"

namespace {

using StringTable = std::unordered_map<UINT, std::wstring>;

constexpr std::size_t kMaxTableBytes = 1 << 20;
constexpr UINT kMaxStringId = 0xFFFF;

// The text of a table line with its escapes resolved.
std::wstring unescape(const std::wstring& raw) {
  std::wstring text;
  text.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const wchar_t next = i + 1 < raw.size() ? raw[i + 1] : L'\0';
    if (raw[i] == L'\\' && (next == L'n' || next == L't' || next == L'\\')) {
      text += next == L'n' ? L'\n' : (next == L't' ? L'\t' : L'\\');
      ++i;
    } else {
      text += raw[i];
    }
  }
  return text;
}

// Adds the line `<id><TAB><text>` to the table; other lines add nothing.
void addLine(const std::string& line, StringTable& table) {
  const std::size_t tab = line.find('\t');
  if (tab == 0 || tab == std::string::npos || tab > 5) return;
  UINT id = 0;
  for (std::size_t i = 0; i < tab; ++i) {
    if (line[i] < '0' || line[i] > '9') return;
    id = id * 10 + static_cast<UINT>(line[i] - '0');
  }
  if (id > kMaxStringId) return;
  table.emplace(id, unescape(hostscene::decodeUtf8(line.substr(tab + 1))));
}

StringTable readTable(const std::string& fileName) {
  StringTable table;
  std::ifstream file(fileName, std::ios::binary);
  if (!file) return table;
  std::string bytes;
  char buffer[4096];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
    if (bytes.size() > kMaxTableBytes) return StringTable();
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    addLine(line, table);
    start = end + 1;
  }
  return table;
}

// The strings file of the module whose base address is `module`, or "" when it is no module's.
std::string stringsFileOf(HINSTANCE module) {
  Dl_info info{};
  if (dladdr(static_cast<const void*>(module), &info) == 0 || !info.dli_fname) return std::string();
  if (info.dli_fbase != static_cast<void*>(module)) return std::string();
  const std::string modulePath = info.dli_fname;
  const std::size_t slash = modulePath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
  const std::string leaf = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  return folder + "en-US/" + leaf + ".strings";
}

// Finds string `id` of the module, reading its table once.
bool findString(HINSTANCE module, UINT id, std::wstring& text) {
  static std::mutex guard;
  static std::map<std::string, StringTable> tables;
  const std::string fileName = stringsFileOf(module);
  if (fileName.empty()) return false;
  std::lock_guard<std::mutex> lock(guard);
  auto it = tables.find(fileName);
  if (it == tables.end()) it = tables.emplace(fileName, readTable(fileName)).first;
  const auto found = it->second.find(id);
  if (found == it->second.end()) return false;
  text = found->second;
  return true;
}

}  // namespace

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
  if (!instance || !buffer || bufferMax <= 0) return 0;
  buffer[0] = L'\0';
  try {
    std::wstring text;
    if (!findString(instance, id, text)) return 0;
    const std::size_t count = (std::min)(text.size(), static_cast<std::size_t>(bufferMax - 1));
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<int>(count);
  } catch (...) {
    return 0;
  }
}
