#pragma once
// Runs the modules' export and import as the host would, on the stand-in scene.
#include <string>

#include "import_report.h"
#include "scene_capture.h"

// What the module's DoExport answered (0 or 1), or -1 when the host could not run it (module
// missing or not a plug-in, a name that does not convert); then `error` says why.
int exportThroughModule(const std::string& pluginDir, const std::string& file, std::string& error);

// Empties the scene, imports `file` and reports what the scene then holds, the mesh arrays when
// `detail` asks for them. Answers as above.
int importThroughModule(const std::string& pluginDir, const std::string& file, CaptureDetail detail,
                        ImportReport& report, std::string& error);
