// vukhost import FILE.vuk [--json] [--obj OUT.obj]
#include <cstdio>
#include <filesystem>
#include <memory>

#include "commands.h"
#include "host_session.h"
#include "input_file.h"
#include "module_loader.h"
#include "module_log.h"
#include "module_reason.h"
#include "obj_writer.h"
#include "report_json.h"
#include "report_text.h"

namespace {

void writeImportedObj(const ImportReport& report, const std::string& objPath, CommandResult& result) {
  for (const NodeReport& node : report.nodes) {
    if (!node.mesh) continue;
    std::string error;
    if (!writeObj(node, report.scripts, objPath, error)) result.fail(exitUnwritable, error);
    return;
  }
  result.fail(exitRefused, "the import added no triangle mesh to write to " + objPath);
}

}  // namespace

bool importForCommand(const CommandLine& line, const std::string& file, CaptureDetail detail, ImportReport& report,
                      CommandResult& result) {
  const std::string unreadable = unreadableInput(file);
  if (!unreadable.empty()) {
    result.fail(exitUnreadable, unreadable);
    return false;
  }
  const std::optional<int> answer = importThroughModule(line.pluginDir, file, detail, report, result);
  if (!answer) return false;
  if (*answer != 1) {
    // The importer names the file it was handed, absolute, before its reason.
    const std::string handed = std::filesystem::absolute(file).lexically_normal().string() + ": ";
    report.refusal = moduleReason();
    if (report.refusal.compare(0, handed.size(), handed) == 0) report.refusal.erase(0, handed.size());
    failWithModuleReason(importerFileName(), file, report.refusal, result);
  }
  return true;
}

CommandResult importCommand(const CommandLine& line, std::FILE* text) {
  const std::string& file = line.files.front();
  CommandResult result;
  auto report = std::make_shared<ImportReport>();
  // The text report shows only the mesh summaries and script excerpts; the JSON document holds the
  // arrays and whole scripts, the OBJ file the arrays.
  const bool full = line.json || !line.objPath.empty();
  if (!importForCommand(line, file, full ? CaptureDetail::Full : CaptureDetail::Summary, *report, result)) return result;
  if (!line.json) printReportText(*report, text);
  if (!result.failed() && !line.objPath.empty()) writeImportedObj(*report, line.objPath, result);
  result.streamedFields = [report](JsonWriter& json) { writeReportFields(*report, json); };
  return result;
}
