#include "module_loader.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

namespace {

using LibVersionFunction = ULONG (*)();
using LibNumberClassesFunction = int (*)();
using LibClassDescFunction = ClassDesc* (*)(int);

template <typename Function>
Function entryPoint(void* handle, const char* name) {
  return reinterpret_cast<Function>(dlsym(handle, name));
}

std::string hex(unsigned long value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lX", value);
  return text;
}

}  // namespace

PluginModule::~PluginModule() {
  if (handle_ != nullptr) dlclose(handle_);
}

std::unique_ptr<PluginModule> PluginModule::load(const std::string& path, SClass_ID superClass,
                                                 std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = "cannot load " + path + ": " + (reason ? reason : "unknown reason");
    return nullptr;
  }
  std::unique_ptr<PluginModule> module(new PluginModule(handle, path));
  auto version = entryPoint<LibVersionFunction>(handle, "LibVersion");
  auto classCount = entryPoint<LibNumberClassesFunction>(handle, "LibNumberClasses");
  auto classDesc = entryPoint<LibClassDescFunction>(handle, "LibClassDesc");
  if (version == nullptr || classCount == nullptr || classDesc == nullptr) {
    error = path + " is not a plug-in module: LibVersion, LibNumberClasses or LibClassDesc is missing";
    return nullptr;
  }
  if (version() != static_cast<ULONG>(VERSION_3DSMAX)) {
    error = path + " was built for another host version (" + hex(version()) + ", this host is " +
            hex(VERSION_3DSMAX) + ")";
    return nullptr;
  }
  if (classCount() < 1 || (module->descriptor_ = classDesc(0)) == nullptr) {
    error = path + " has no class descriptor";
    return nullptr;
  }
  if (module->descriptor_->SuperClassID() != superClass) {
    error = path + " holds a plug-in of super class " + hex(module->descriptor_->SuperClassID()) + ", not " +
            hex(superClass);
    return nullptr;
  }
  return module;
}

std::string modulePath(const std::string& pluginDir, const char* fileName) {
  std::filesystem::path folder(pluginDir);
  if (pluginDir.empty()) {
    std::error_code ignored;
    folder = std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
  }
  return (folder / fileName).string();
}
