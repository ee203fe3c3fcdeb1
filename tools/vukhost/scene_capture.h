#pragma once
// Copies what the stand-in scene holds after an import into an ImportReport.
#include "import_report.h"

// The scene's nodes, selection, script log and redraw count; the caller sets file and answer.
ImportReport captureScene();
