#pragma once
// The import report as one JSON document, with the whole mesh arrays, for scripts and tests.
#include <cstdio>

#include "import_report.h"

// Writes the document to `out`. The mesh arrays go out element by element, so a mesh of millions
// of faces is never held a second time as a document tree. Floats are written in their shortest
// exact form; NaN and infinities as null.
void writeReportJson(const ImportReport& report, std::FILE* out);

class JsonWriter;
// The same keys written into an object that `json` has open, beside the command's own keys.
void writeReportFields(const ImportReport& report, JsonWriter& json);
