#include "module_loading.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

LoadedModule::LoadedModule(const std::string& path) {
  handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) ADD_FAILURE() << "dlopen " << path << ": " << dlerror();
}

LoadedModule::~LoadedModule() {
  if (handle != nullptr) dlclose(handle);
}

void* LoadedModule::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }

ClassDesc* LoadedModule::descriptor() const {
  auto classDesc = reinterpret_cast<ClassDesc* (*)(int)>(symbol("LibClassDesc"));
  return classDesc ? classDesc(0) : nullptr;
}

std::string copyModule(const std::string& modulePath, const std::string& folder, bool withStrings) {
  const fs::path from(modulePath);
  const fs::path to = fs::path(folder) / from.filename();
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  if (withStrings) {
    fs::create_directories(fs::path(folder) / "en-US");
    const std::string strings = from.filename().string() + ".strings";
    fs::copy_file(from.parent_path() / "en-US" / strings, fs::path(folder) / "en-US" / strings,
                  fs::copy_options::overwrite_existing);
  }
  return to.string();
}
