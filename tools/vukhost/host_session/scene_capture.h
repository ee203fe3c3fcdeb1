#pragma once
// Copies what the stand-in scene holds after an import into an ImportReport.
#include "import_report.h"

// How much of the scene the capture copies. Every report gets the nodes with their mesh summaries,
// materials and transforms, the selection, the script excerpts and the redraw count; the mesh
// arrays and the whole scripts are copied only for the writers that read them (JSON, OBJ, pictures).
enum class CaptureDetail { Summary, Full };

// The scene's nodes, selection, script log and redraw count; the caller sets file and answer.
ImportReport captureScene(CaptureDetail detail);
