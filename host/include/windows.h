#pragma once
// The few Windows names that the plug-ins use, with their Win64 widths, and the min and max macros
// that the platform header defines for C and C++ alike unless NOMINMAX is set. The host's own
// headers rely on those macros, so plug-in code lives with them: it writes (std::min)(a, b).
//
// The platform's C++ library guards itself against the macros; this one does not, so the standard
// headers that the project and the libraries it builds with reach after this one are read here
// first, before the macros exist (their include guards then keep later includes from seeing
// them). A standard header missing here shows at once: "macro "min" requires 2 arguments" in it;
// add it to the list. Every other standard header stays out, for the build's sake.
#include <algorithm>
#include <array>
#include <atomic>
#include <bitset>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ios>
#include <istream>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
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
typedef char CHAR;
typedef wchar_t WCHAR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWSTR;
typedef CHAR* LPSTR;
typedef const CHAR* LPCCH;
typedef const WCHAR* LPCWCH;
typedef BOOL* LPBOOL;

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

// The thread's last error code, set by the calls below when they fail.
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);

// Text conversion between wide (UTF-16 on Windows; UTF-32 here) and the 8-bit code pages. The
// system's ANSI code page (CP_ACP) is Windows-1252 here unless a test sets UTF-8 (65001); only
// those two code pages exist. A count of -1 takes the text up to and including its terminating
// zero; an output size of 0 asks for the size needed. Both answer the number of units written
// (or needed), 0 on failure with GetLastError saying why.
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400
UINT GetACP();
// MB_ERR_INVALID_CHARS makes a malformed UTF-8 sequence fail the call instead of becoming U+FFFD.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
// Windows-1252: a character the code page lacks becomes lpDefaultChar ('?' when null) and sets
// *lpUsedDefaultChar. Windows would first try a look-alike (best fit); the stand-in does not
// model that and stops unless WC_NO_BEST_FIT_CHARS is given. UTF-8: the default-character
// arguments must be null and the only flag allowed is WC_ERR_INVALID_CHARS, which makes a code
// unit that is no Unicode scalar value fail the call instead of becoming U+FFFD.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);
