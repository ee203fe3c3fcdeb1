#pragma once
#include <windows.h>
#include <strbasic.h>

typedef int TimeValue;  // 4800 ticks a second
typedef unsigned short MtlID;
typedef std::uint32_t SClass_ID;
typedef std::uint32_t ulong;

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
