#include "host_session.h"

#include <standin/scene.h>

#include <filesystem>
#include <system_error>

#include "module_loader.h"
#include "progress.h"
#include "scene_capture.h"
#include "wide_text.h"

namespace {

// The file as the host names it: absolute and without `.` or `..` steps.
std::string hostPath(const std::string& file) {
  std::error_code failure;
  const std::filesystem::path absolute = std::filesystem::absolute(file, failure);
  return failure ? file : absolute.lexically_normal().string();
}

// The module to run and the file name in the host's wide text; null with `result` failed when
// either is not to be had.
std::unique_ptr<PluginModule> prepare(const std::string& pluginDir, const char* moduleFile, SClass_ID superClass,
                                      const std::string& file, std::wstring& name, CommandResult& result) {
  const std::optional<std::wstring> wide = widenArgument(hostPath(file));
  if (!wide) {
    result.fail(exitUnreadable, "the file name " + file + " does not convert in the current locale");
    return nullptr;
  }
  name = *wide;
  std::string error;
  auto module = PluginModule::load(modulePath(pluginDir, moduleFile), superClass, error);
  if (!module) result.fail(exitNoModule, error);
  return module;
}

std::string leaf(const std::string& file) { return std::filesystem::path(file).filename().string(); }

}  // namespace

std::optional<int> exportThroughModule(const std::string& pluginDir, const std::string& file, CommandResult& result) {
  std::wstring name;
  auto module = prepare(pluginDir, exporterFileName(), SCENE_EXPORT_CLASS_ID, file, name, result);
  if (!module) return std::nullopt;
  SceneExportObject exporter(static_cast<SceneExport*>(module->descriptor()->Create(FALSE)));
  if (!exporter) {
    result.fail(exitNoModule, module->path() + ": Create answered no export object");
    return std::nullopt;
  }
  const ActivityLine activity("exporting " + leaf(file));
  ExpInterface exportInterface{};
  return exporter->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), TRUE, 0);
}

std::optional<int> importThroughModule(const std::string& pluginDir, const std::string& file, CaptureDetail detail,
                                       ImportReport& report, CommandResult& result) {
  std::wstring name;
  auto module = prepare(pluginDir, importerFileName(), SCENE_IMPORT_CLASS_ID, file, name, result);
  if (!module) return std::nullopt;
  standin::resetScene();
  SceneImportObject importer(static_cast<SceneImport*>(module->descriptor()->Create(FALSE)));
  if (!importer) {
    result.fail(exitNoModule, module->path() + ": Create answered no import object");
    return std::nullopt;
  }
  int answer = 0;
  {
    const ActivityLine activity("importing " + leaf(file));
    answer = importer->DoImport(name.c_str(), standin::importInterface(), standin::coreInterface(), TRUE);
  }
  report = captureScene(detail);
  report.file = file;
  report.answer = answer;
  return answer;
}
