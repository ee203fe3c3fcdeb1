// vukhost import FILE.vuk [--json] [--obj OUT.obj]
#include <cstdio>

#include "commands.h"
#include "host_session.h"
#include "import_verdict.h"
#include "obj_writer.h"
#include "report_json.h"
#include "report_text.h"

namespace {

int writeImportedObj(const ImportReport& report, const std::string& objPath) {
  for (const NodeReport& node : report.nodes) {
    if (!node.mesh) continue;
    std::string error;
    if (!writeObj(node, objPath, error)) {
      reportError(error);
      return exitHostError;
    }
    return exitSuccess;
  }
  reportError("the import added no triangle mesh to write to " + objPath);
  return exitRefused;
}

}  // namespace

int importForCommand(const CommandLine& line, const std::string& file, CaptureDetail detail, ImportReport& report) {
  std::string error;
  const int answer = importThroughModule(line.pluginDir, file, detail, report, error);
  if (answer < 0) {
    reportError(error);
    return exitHostError;
  }
  if (answer == 1) return exitSuccess;
  report.refusal = refusalReason(file);
  return exitRefused;
}

int importCommand(const CommandLine& line) {
  const std::string& file = line.files.front();
  ImportReport report;
  // The text report shows only the mesh summaries and script excerpts; the JSON document holds the
  // arrays and whole scripts, the OBJ file the arrays.
  const bool full = line.json || !line.objPath.empty();
  const int status = importForCommand(line, file, full ? CaptureDetail::Full : CaptureDetail::Summary, report);
  if (status == exitHostError) return status;
  if (line.json) {
    writeReportJson(report, stdout);
  } else {
    printReportText(report, stdout);
  }
  std::fflush(stdout);
  if (status == exitRefused) {
    reportError(file + ": " + report.refusal);
    return exitRefused;
  }
  return line.objPath.empty() ? exitSuccess : writeImportedObj(report, line.objPath);
}
