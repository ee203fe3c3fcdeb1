#pragma once
// How a module's answer of 0 ends a command. The modules make their reasons where the failure
// arises, in fixed words, and put them in the host's log; vukhost shows the reason as it stands
// and guesses nothing. The words tell the exit status: an output that cannot be made, written or
// put in place ("cannot create a file beside P", "cannot write P", "cannot replace P") is an
// unwritable output, an input that does not open ("cannot open P", "cannot open it") an
// unreadable input; anything else is a refusal of what the input holds or a failure of the
// module's own work. A module that answers 0 and logs nothing is at fault itself.
#include <string>

#include "command_result.h"

ExitStatus statusOfModuleReason(const std::string& reason);

// Fails `result` for `module` having answered 0 on `file`: the reason, after "FILE: " unless it
// names the file already, with the status of the reason's words; or, when `reason` is empty, the
// module's fault.
CommandResult& failWithModuleReason(const char* module, const std::string& file, const std::string& reason,
                                    CommandResult& result);
