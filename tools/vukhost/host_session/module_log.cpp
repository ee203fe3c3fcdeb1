#include "module_log.h"

#include <log.h>
#include <standin/scene.h>

#include "wide_text.h"

std::string moduleReason() {
  for (const standin::LogEntryRecord& entry : standin::logEntries()) {
    if ((entry.type & SYSLOG_ERROR) != 0) return toUtf8(entry.text);
  }
  return "";
}
