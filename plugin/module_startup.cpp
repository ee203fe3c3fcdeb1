// The start-up and the library entry points that both modules answer alike. Each module is
// linked with its own copy, so each keeps its own handle and string buffer.
#include "vuk_plugin_module.h"
#include "resource.h"
#include <windows.h>
#include <max.h>
#include <plugapi.h>
#include <systemutilities.h>

namespace {

HINSTANCE moduleHandle = nullptr;
const int resourceBufferLength = 256;
MCHAR resourceBuffer[resourceBufferLength];

}  // namespace

HINSTANCE savedModuleHandle() { return moduleHandle; }

const MCHAR* GetResourceString(UINT id) {
  if (moduleHandle == nullptr) return nullptr;
  int loaded = LoadStringW(moduleHandle, id, resourceBuffer, resourceBufferLength);
  return loaded > 0 ? resourceBuffer : nullptr;
}

// Runs when the module is loaded: the host's language pack locale, the handle saved for the
// resource strings, and no per-thread notifications. Nothing is done on any other notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID /*lpvReserved*/) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    MaxSDK::Util::UseLanguagePackLocale(hinstDLL);
    moduleHandle = hinstDLL;
    DisableThreadLibraryCalls(hinstDLL);
  }
  return TRUE;
}

// The default constructor of VertexNormalsControl, which the host's loader expects each module to
// export, comes with the host's mesh header: its inline definition there carries the export
// marker, so including the header is what exports it.

extern "C" {

VUK_MODULE_EXPORT const MCHAR* LibDescription() { return GetResourceString(IDS_LIB_DESCRIPTION); }

VUK_MODULE_EXPORT int LibNumberClasses() { return 1; }

VUK_MODULE_EXPORT ULONG LibVersion() { return VERSION_3DSMAX; }

VUK_MODULE_EXPORT int LibInitialize() { return TRUE; }

VUK_MODULE_EXPORT int LibShutdown() { return TRUE; }

}  // extern "C"
