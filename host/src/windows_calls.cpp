// The Windows and locale calls of the modules: message boxes and start-up notifications.
#include <dlfcn.h>

#include <systemutilities.h>
#include <windows.h>

#include "journal_line.h"
#include "scene_state.h"

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  hostscene::journalCall(L"MessageBoxW");
  hostscene::scene().messageBoxes.push_back({text ? text : L"", caption ? caption : L"", type});
  return IDOK;
}

BOOL DisableThreadLibraryCalls(HMODULE module) {
  hostscene::journalCall(L"DisableThreadLibraryCalls", static_cast<const void*>(module));
  return module ? TRUE : FALSE;
}

namespace MaxSDK {
namespace Util {

__attribute__((noinline)) void UseLanguagePackLocale(HMODULE hMyModule) {
  if (!hMyModule) {
    Dl_info caller{};
    if (dladdr(__builtin_return_address(0), &caller) != 0) hMyModule = static_cast<HMODULE>(caller.dli_fbase);
  }
  hostscene::journalCall(L"UseLanguagePackLocale", static_cast<const void*>(hMyModule));
}

}  // namespace Util
}  // namespace MaxSDK
