#include "failure_report.h"

#include <log.h>
#include <windows.h>

#include <climits>

namespace {

// The host's log takes error entries of up to 8192 characters.
constexpr std::size_t maxEntryCharacters = 8192;

}  // namespace

std::wstring wideFromUtf8(const std::string& text) {
  if (text.empty() || text.size() > INT_MAX) return std::wstring();
  const int count = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), count, nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), count, &wide[0], size);
  return wide;
}

void reportFailure(Interface* ip, const wchar_t* title, const char* reason) noexcept {
  try {
    Interface* host = ip != nullptr ? ip : GetCOREInterface();
    LogSys* log = host != nullptr ? host->Log() : nullptr;
    if (log == nullptr) return;
    std::wstring text = wideFromUtf8(reason != nullptr ? reason : "");
    if (text.size() > maxEntryCharacters) text.resize(maxEntryCharacters);
    // The reason is an argument, never the format: a file name may hold a percent sign.
    log->LogEntry(SYSLOG_ERROR, NO_DIALOG, title, L"%s", text.c_str());
  } catch (...) {  // no memory even for the entry: the answer 0 still tells the host
  }
}
