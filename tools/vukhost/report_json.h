#pragma once
// The import report as one JSON document, with the whole mesh arrays, for scripts and tests.
#include <nlohmann/json.hpp>

#include "import_report.h"

nlohmann::json reportJson(const ImportReport& report);
