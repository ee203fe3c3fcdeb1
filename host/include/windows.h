#pragma once
// The few Windows names that the plug-ins use, with their Win64 widths, and the min and max macros
// that the platform header defines for C and C++ alike unless NOMINMAX is set. The host's own
// headers rely on those macros, so plug-in code lives with them: it writes (std::min)(a, b).
//
// The platform's C++ library guards itself against the macros; this one does not, so every
// standard header is read here first, before the macros exist (its include guards then keep
// later includes from seeing them).
#include <algorithm>
#include <any>
#include <array>
#include <atomic>
#include <bitset>
#include <charconv>
#include <chrono>
#include <cmath>
#include <codecvt>
#include <complex>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iomanip>
#include <ios>
#include <iostream>
#include <istream>
#include <iterator>
#include <limits>
#include <list>
#include <locale>
#include <map>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <numeric>
#include <optional>
#include <ostream>
#include <queue>
#include <random>
#include <regex>
#include <set>
#include <shared_mutex>
#include <sstream>
#include <stack>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <valarray>
#include <variant>
#include <vector>

#ifndef NOMINMAX
#ifndef max
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#ifndef min
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
#endif

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
typedef std::uint32_t DWORD;
typedef std::uint32_t ULONG;
typedef std::uint32_t UINT;
typedef std::uint16_t WORD;
typedef std::uint8_t BYTE;
typedef void* LPVOID;
typedef wchar_t WCHAR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;

struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HWND__;
typedef HWND__* HWND;

#define WINAPI
#define APIENTRY
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#define MB_OK 0x00000000U
#define IDOK 1
#define IDCANCEL 2

BOOL DisableThreadLibraryCalls(HMODULE module);
// Loads string `id` of the module's string table (on Linux, `<module dir>/en-US/<module file
// name>.strings`, UTF-8, one `<id><TAB><text>` per line, with \n, \t and \\ standing for a line
// break, a tab and a backslash) into buffer: at most bufferMax - 1 characters and a terminating
// zero. Answers the number of characters copied, 0 when there is no such string.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
// Shows a message; answers the button that closed it (IDOK for MB_OK).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
