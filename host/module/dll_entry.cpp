// The start-up of a plug-in module on Linux, in the role of the Windows runtime's library start-up
// code: when the module is loaded, its DllMain hears DLL_PROCESS_ATTACH with the module's base
// address as its handle; when it is unloaded, DLL_PROCESS_DETACH. As on Windows, where the module's
// static objects are made before DllMain hears of the load, this object goes after the module's own
// sources on the link line: it is then made after them and destroyed before them.
#include <dlfcn.h>

#include <windows.h>

// The module's own entry point, bound inside the module as the platform's loader binds it.
extern "C" __attribute__((visibility("hidden"))) BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason,
                                                                     LPVOID lpvReserved);

namespace {

class ModuleEntry {
public:
  ModuleEntry() : module(moduleOf(this)) { DllMain(module, DLL_PROCESS_ATTACH, nullptr); }
  ~ModuleEntry() { DllMain(module, DLL_PROCESS_DETACH, nullptr); }
  ModuleEntry(const ModuleEntry&) = delete;
  ModuleEntry& operator=(const ModuleEntry&) = delete;

private:
  // The base address of the module that holds `address`.
  static HINSTANCE moduleOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0) return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
  }

  const HINSTANCE module;
};

const ModuleEntry entry;

}  // namespace
