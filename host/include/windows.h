#pragma once
// The few Windows names that the plug-ins use, with their Win64 widths.
#include <cstdint>

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

// A module's entry point, defined by the module. It binds inside the module that defines it, as
// the platform's loader calls each module's own entry point.
extern "C" __attribute__((visibility("hidden"))) BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason,
                                                                     LPVOID lpvReserved);

BOOL DisableThreadLibraryCalls(HMODULE module);
// Loads string `id` of the module's string table (on Linux, `<module dir>/en-US/<module file
// name>.strings`, UTF-8, one `<id><TAB><text>` per line, with \n, \t and \\ standing for a line
// break, a tab and a backslash) into buffer: at most bufferMax - 1 characters and a terminating
// zero. Answers the number of characters copied, 0 when there is no such string.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
// Shows a message; answers the button that closed it (IDOK for MB_OK).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
