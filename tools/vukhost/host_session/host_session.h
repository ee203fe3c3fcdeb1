#pragma once
// Runs the modules' export and import as the host would, on the stand-in scene. The file name
// goes to the module as the host gives it: absolute, in the host's wide text.
#include <optional>
#include <string>

#include "command_result.h"
#include "import_report.h"
#include "scene_capture.h"

// What the module's DoExport answered (0 or 1), or nothing when the module could not be run (missing,
// not a plug-in, a name that does not convert); then `result` has failed with why.
std::optional<int> exportThroughModule(const std::string& pluginDir, const std::string& file, CommandResult& result);

// Empties the scene, imports `file` and reports what the scene then holds, the mesh arrays when
// `detail` asks for them. Answers as above.
std::optional<int> importThroughModule(const std::string& pluginDir, const std::string& file, CaptureDetail detail,
                                       ImportReport& report, CommandResult& result);
