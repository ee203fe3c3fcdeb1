#pragma once
// Character type of the host's texts: wide characters throughout.
#define MCHAR wchar_t
#define _M(x) L##x
typedef const MCHAR* LPCMSTR;
typedef MCHAR* LPMSTR;
