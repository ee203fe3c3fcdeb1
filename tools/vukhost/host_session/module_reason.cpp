#include "module_reason.h"

ExitStatus statusOfModuleReason(const std::string& reason) {
  for (const char* output : {"cannot create a file beside ", "cannot write ", "cannot replace "}) {
    if (reason.find(output) != std::string::npos) return exitUnwritable;
  }
  if (reason.find("cannot open ") != std::string::npos) return exitUnreadable;
  return exitRefused;
}

CommandResult& failWithModuleReason(const char* module, const std::string& file, const std::string& reason,
                                    CommandResult& result) {
  if (reason.empty()) {
    return result.fail(exitNoModule, std::string(module) + " answered 0 for " + file + " and put no reason in the host's log");
  }
  // A reason that names the file already is given as it stands; the others are put after the name.
  const bool named = reason.find(file) != std::string::npos;
  return result.fail(statusOfModuleReason(reason), named ? reason : file + ": " + reason);
}
