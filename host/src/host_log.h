#pragma once
// The host's one log, answered by Interface::Log().
#include <log.h>

namespace hostscene {

LogSys* hostLog();

}  // namespace hostscene
