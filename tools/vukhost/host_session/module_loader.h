#pragma once
// Loads a plug-in module the way the host does: by path, then through its library entry points
// to its one class descriptor, whose super class must be the expected one.
#include <impexp.h>
#include <iparamb2.h>
#include <plugapi.h>

#include <memory>
#include <string>

class PluginModule {
public:
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;
  ~PluginModule();

  // Loads the module at `path` and checks LibVersion, LibNumberClasses and LibClassDesc(0) with
  // its SuperClassID. Answers null with a one-line reason in `error` when any of it fails.
  static std::unique_ptr<PluginModule> load(const std::string& path, SClass_ID superClass, std::string& error);

  ClassDesc* descriptor() const { return descriptor_; }
  const std::string& path() const { return path_; }

private:
  PluginModule(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}

  void* handle_;
  std::string path_;
  ClassDesc* descriptor_ = nullptr;
};

// Export and import objects made by a descriptor's Create, released through their virtual
// destructor (the host's heap) while the module is still loaded.
struct HostObjectDeleter {
  template <typename T>
  void operator()(T* object) const { delete object; }
};
using SceneExportObject = std::unique_ptr<SceneExport, HostObjectDeleter>;
using SceneImportObject = std::unique_ptr<SceneImport, HostObjectDeleter>;

// The module's file in `pluginDir`, or beside the running program when pluginDir is empty.
std::string modulePath(const std::string& pluginDir, const char* fileName);

inline const char* exporterFileName() { return "VukMax2018Exporter.dle"; }
inline const char* importerFileName() { return "VukMax2018Importer.dli"; }
