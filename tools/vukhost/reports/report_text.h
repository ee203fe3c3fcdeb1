#pragma once
// The import report for a person: one block per node, the selection, the script commands in
// order, and the module's answer.
#include <cstdio>

#include "import_report.h"

void printReportText(const ImportReport& report, std::FILE* out);
