// The export command of a module at fault: it answers 0 and tells the host nothing. Built into a
// module with the exporter's own entry file, so that vukhost loads it as it loads the exporter.
#include "export_command.h"

int runExport(const MCHAR*, Interface*, BOOL) noexcept { return 0; }
