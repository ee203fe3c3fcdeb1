#pragma once
// The reason a module gave the host for answering 0: the first error entry it put in the host's
// log during its call. The scene, and with it the log, is emptied before every call.
#include <string>

// The entry's text in UTF-8; empty when the module logged no error.
std::string moduleReason();
