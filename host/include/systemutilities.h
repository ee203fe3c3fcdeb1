#pragma once
// Locale helpers of the host.
#include <cstddef>
#include <windows.h>
#include "coreexp.h"

namespace MaxSDK {
namespace Util {

// Switches the calling module to the host's language pack locale. A null handle stands for the
// module that makes the call.
UtilExport void UseLanguagePackLocale(HMODULE hMyModule = NULL);

}  // namespace Util
}  // namespace MaxSDK
