#include "host_session.h"

#include <standin/scene.h>

#include "module_loader.h"
#include "progress.h"
#include "scene_capture.h"
#include "wide_text.h"

namespace {

// The module to run and the file name in the host's wide text; null with `error` set when
// either is not to be had.
std::unique_ptr<PluginModule> prepare(const std::string& pluginDir, const char* moduleFile, SClass_ID superClass,
                                      const std::string& file, std::wstring& name, std::string& error) {
  const std::optional<std::wstring> wide = widenArgument(file);
  if (!wide) {
    error = "the file name " + file + " does not convert in the current locale";
    return nullptr;
  }
  name = *wide;
  return PluginModule::load(modulePath(pluginDir, moduleFile), superClass, error);
}

}  // namespace

int exportThroughModule(const std::string& pluginDir, const std::string& file, std::string& error) {
  std::wstring name;
  auto module = prepare(pluginDir, exporterFileName(), SCENE_EXPORT_CLASS_ID, file, name, error);
  if (!module) return -1;
  SceneExportObject exporter(static_cast<SceneExport*>(module->descriptor()->Create(FALSE)));
  if (!exporter) {
    error = module->path() + ": Create answered no export object";
    return -1;
  }
  Progress progress("exporting", 1);
  ExpInterface exportInterface{};
  return exporter->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), TRUE, 0);
}

int importThroughModule(const std::string& pluginDir, const std::string& file, CaptureDetail detail,
                        ImportReport& report, std::string& error) {
  std::wstring name;
  auto module = prepare(pluginDir, importerFileName(), SCENE_IMPORT_CLASS_ID, file, name, error);
  if (!module) return -1;
  standin::resetScene();
  SceneImportObject importer(static_cast<SceneImport*>(module->descriptor()->Create(FALSE)));
  if (!importer) {
    error = module->path() + ": Create answered no import object";
    return -1;
  }
  int answer = 0;
  {
    Progress progress("importing", 1);
    answer = importer->DoImport(name.c_str(), standin::importInterface(), standin::coreInterface(), TRUE);
  }
  report = captureScene(detail);
  report.file = file;
  report.answer = answer;
  return answer;
}
