#pragma once
// The host's log: plug-ins add entries through Interface::Log(); the host writes them to its log
// file and, when asked and not in quiet mode, shows them in a dialog.
#include <windows.h>
#include "maxheap.h"
#include "strbasic.h"

#define NO_DIALOG FALSE
#define DISPLAY_DIALOG TRUE

// Entry types, in falling severity.
#define SYSLOG_ERROR 0x00000001
#define SYSLOG_WARN 0x00000002
#define SYSLOG_INFO 0x00000004
#define SYSLOG_DEBUG 0x00000008

class LogSys : public MaxHeapOperators {
public:
  virtual ~LogSys() {}
  // Adds one entry whose text is `format` filled in as printf does, the wide printf of the host's
  // runtime: %s takes a wide text there, as %ls does. `title`, when not null, names the module.
  // An error entry of more than 8192 characters brings the host down.
  virtual void LogEntry(DWORD type, BOOL dialogue, const MCHAR* title, const MCHAR* format, ...) = 0;
};
