#pragma once
// What a module's reason for answering 0 means for the exit status. The modules make their
// reasons where the failure arises, in fixed words: an output that cannot be made, written or
// put in place ("cannot create a file beside P", "cannot write P", "cannot replace P"), an input
// that does not open ("cannot open P", "cannot open it"); anything else is a refusal of what
// the input holds or a failure of the module's own work.
#include <string>

#include "command_result.h"

ExitStatus statusOfModuleReason(const std::string& reason);
