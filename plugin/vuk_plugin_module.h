#pragma once
// What the two modules share: the start-up state that each module keeps for itself (its handle
// and its one resource-string buffer), the export attribute of the library entry points, and the
// answers that the export and import classes give alike.
#include <windows.h>
#include <max.h>
#include <impexp.h>

#ifdef _WIN32
#define VUK_MODULE_EXPORT __declspec(dllexport)
#else
#define VUK_MODULE_EXPORT __attribute__((visibility("default")))
#endif

// The module handle saved at start-up; null until the module has been started.
HINSTANCE savedModuleHandle();

// Loads string `id` of the module's string table into the module's one buffer of 256 characters
// and answers that buffer, or null before start-up or when the string cannot be loaded. Every
// call overwrites the text of the call before.
const MCHAR* GetResourceString(UINT id);

// The descriptive answers of a Vuk file plug-in class; HostPluginClass is SceneExport or
// SceneImport. Every text is a literal, so the same pointer is answered on every call.
template <class HostPluginClass>
class VukFilePlugin : public HostPluginClass {
public:
  int ExtCount() override { return 1; }
  const MCHAR* Ext(int) override { return _M("vuk"); }
  const MCHAR* ShortDesc() override { return _M("Morvantis Vuk"); }
  const MCHAR* AuthorName() override { return _M("Morvantis"); }
  const MCHAR* CopyrightMessage() override { return _M("Copyright (C) Morvantis. All rights reserved."); }
  const MCHAR* OtherMessage1() override { return _M(""); }
  const MCHAR* OtherMessage2() override { return _M(""); }
  unsigned int Version() override { return 100; }
  void ShowAbout(HWND) override {}
};
