#include "failure_report.h"

#include "file_name.h"

#include <log.h>
#include <windows.h>

namespace {

// The host's log takes error entries of up to 8192 characters.
constexpr std::size_t maxEntryCharacters = 8192;

}  // namespace

void reportFailure(Interface* ip, const wchar_t* title, const char* reason) noexcept {
  try {
    Interface* host = ip != nullptr ? ip : GetCOREInterface();
    LogSys* log = host != nullptr ? host->Log() : nullptr;
    if (log == nullptr) return;
    std::wstring text = vuk::wideTextOf(reason != nullptr ? reason : "");
    if (text.size() > maxEntryCharacters) text.resize(maxEntryCharacters);
    // The reason is an argument, never the format: a file name may hold a percent sign.
    log->LogEntry(SYSLOG_ERROR, NO_DIALOG, title, L"%s", text.c_str());
  } catch (...) {  // no memory even for the entry: the answer 0 still tells the host
  }
}
