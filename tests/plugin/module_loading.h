#pragma once
// Loads a plug-in module for a test, as the host does, and reaches its entry points.
#include <impexp.h>
#include <iparamb2.h>
#include <plugapi.h>

#include <string>

struct LoadedModule {
  explicit LoadedModule(const std::string& path);
  ~LoadedModule();
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  void* symbol(const char* name) const;
  ClassDesc* descriptor() const;

  void* handle = nullptr;
};

// Copies the module file into `folder` (with its strings file when `withStrings`) and answers the
// copy's path: a module file that the process has not loaded yet.
std::string copyModule(const std::string& modulePath, const std::string& folder, bool withStrings);
