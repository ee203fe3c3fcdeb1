#include "module_reason.h"

ExitStatus statusOfModuleReason(const std::string& reason) {
  for (const char* output : {"cannot create a file beside ", "cannot write ", "cannot replace "}) {
    if (reason.find(output) != std::string::npos) return exitUnwritable;
  }
  if (reason.find("cannot open ") != std::string::npos) return exitUnreadable;
  return exitRefused;
}
