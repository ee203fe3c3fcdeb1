// vukhost render FILE.vuk OUT.png [--size N]
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "import_report.h"
#include "mesh_render.h"
#include "scene_capture.h"

int renderCommand(const CommandLine& line) {
  const std::string& file = line.files[0];
  const std::string& out = line.files[1];
  ImportReport report;
  const int status = importForCommand(line, file, CaptureDetail::Full, report);
  if (status == exitRefused) reportError(file + ": " + report.refusal);
  if (status != exitSuccess) return status;
  std::string error;
  if (!renderImport(report, out, line.size > 0 ? line.size : defaultPictureSize, error)) {
    reportError(error);
    return exitHostError;
  }
  std::printf("Wrote %s: the mesh of %s from the front right, and its UV layout.\n", out.c_str(), file.c_str());
  return exitSuccess;
}
