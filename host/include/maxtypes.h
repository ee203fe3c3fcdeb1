#pragma once
#include <windows.h>
#include <strbasic.h>

typedef int TimeValue;  // 4800 ticks a second
typedef unsigned short MtlID;
typedef std::uint32_t SClass_ID;
// Windows' `ulong` is 32 bits wide; glibc's <sys/types.h> already names a 64-bit `ulong`, so the
// host's 32-bit quantities below use DWORD instead.
#include <sys/types.h>

#define SCENE_IMPORT_CLASS_ID 0xA10
#define SCENE_EXPORT_CLASS_ID 0xA20

#define MAX_RELEASE 20000
#define MAX_API_NUM 50
#define MAX_SDK_REV 0
#define MAX_VERSION_MAJOR 20
#define VERSION_3DSMAX ((MAX_RELEASE << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV)

#define TRIOBJ_CLASS_ID 0x0009
#define POLYOBJ_CLASS_ID 0x5d21369a
#define DMTL_CLASS_ID 0x00000002
#define BMTEX_CLASS_ID 0x0240
#define MULTI_CLASS_ID 0x0200

// A class id: two 32-bit parts, first part first.
class Class_ID {
public:
  constexpr Class_ID() : a(0xFFFFFFFFu), b(0xFFFFFFFFu) {}
  constexpr Class_ID(DWORD aa, DWORD bb) : a(aa), b(bb) {}

  constexpr DWORD PartA() const { return a; }
  constexpr DWORD PartB() const { return b; }
  void SetPartA(DWORD aa) { a = aa; }
  void SetPartB(DWORD bb) { b = bb; }

  constexpr bool operator==(const Class_ID& cid) const { return a == cid.a && b == cid.b; }
  constexpr bool operator!=(const Class_ID& cid) const { return a != cid.a || b != cid.b; }
  // Orders by the first part, then the second.
  constexpr bool operator<(const Class_ID& rhs) const {
    return a < rhs.a || (a == rhs.a && b < rhs.b);
  }

private:
  DWORD a;
  DWORD b;
};
