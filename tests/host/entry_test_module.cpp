// A module that starts up as a plug-in does: its DllMain hears the load and the unload.
#include <maxscript/maxscript.h>
#include <windows.h>

namespace {

HINSTANCE savedModule = nullptr;
int attachCount = 0;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    savedModule = module;
    ++attachCount;
    DisableThreadLibraryCalls(module);
  } else if (reason == DLL_PROCESS_DETACH) {
    ExecuteMAXScriptScript(L"detach");
  }
  return TRUE;
}

extern "C" __attribute__((visibility("default"))) HINSTANCE entryTestModule() { return savedModule; }
extern "C" __attribute__((visibility("default"))) int entryTestAttachCount() { return attachCount; }
