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

BOOL DisableThreadLibraryCalls(HMODULE module);
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
