// The host's log: every entry is kept, in order, for tests and tools to read.
#include <log.h>

#include <cstdarg>
#include <cwchar>
#include <string>
#include <vector>

#include "host_log.h"
#include "journal_line.h"
#include "scene_state.h"
#include "undefined_use.h"

namespace hostscene {
namespace {

constexpr std::size_t kLongestErrorEntry = 8192;

// The format with the host runtime's wide printf rules made explicit for this one: there a plain
// %s (and %c) takes a wide argument and %hs (%hc) a narrow one.
std::wstring withExplicitWidths(const wchar_t* format) {
  std::wstring out;
  for (const wchar_t* p = format; *p != L'\0'; ++p) {
    out += *p;
    if (*p != L'%') continue;
    if (p[1] == L'%') {
      out += *++p;
      continue;
    }
    while (p[1] != L'\0' && std::wcschr(L"-+ #0123456789.*", p[1]) != nullptr) out += *++p;
    if (p[1] == L'h' && (p[2] == L's' || p[2] == L'c')) {
      ++p;  // narrow: this runtime's %s and %c
    } else if (p[1] == L's' || p[1] == L'c') {
      out += L'l';
    }
  }
  return out;
}

std::wstring formatted(const wchar_t* format, std::va_list arguments) {
  const std::wstring explicitFormat = withExplicitWidths(format);
  std::vector<wchar_t> buffer(256);
  for (;;) {
    std::va_list copy;
    va_copy(copy, arguments);
    const int written = std::vswprintf(buffer.data(), buffer.size(), explicitFormat.c_str(), copy);
    va_end(copy);
    if (written >= 0) return std::wstring(buffer.data(), static_cast<std::size_t>(written));
    if (buffer.size() >= (std::size_t{1} << 24)) stopOnUndefinedUse("LogSys::LogEntry", "the format cannot be filled in");
    buffer.resize(buffer.size() * 4);
  }
}

class HostLog final : public LogSys {
public:
  void LogEntry(DWORD type, BOOL dialogue, const MCHAR* title, const MCHAR* format, ...) override {
    if (format == nullptr) stopOnUndefinedUse("LogSys::LogEntry", "the format is null");
    std::va_list arguments;
    va_start(arguments, format);
    std::wstring text = formatted(format, arguments);
    va_end(arguments);
    if ((type & SYSLOG_ERROR) != 0 && text.size() > kLongestErrorEntry) {
      stopOnUndefinedUse("LogSys::LogEntry", "an error entry is longer than 8192 characters");
    }
    journalCall(L"LogSys::LogEntry", type, dialogue);
    scene().logEntries.push_back({type, dialogue, title != nullptr ? title : L"", std::move(text)});
  }
};

}  // namespace

LogSys* hostLog() {
  static HostLog log;
  return &log;
}

}  // namespace hostscene
