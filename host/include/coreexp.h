#pragma once
// Export markers of the host's libraries. On Linux everything the stand-in declares is visible
// from the shared library, also to modules built with hidden visibility.
#if defined(_WIN32)
#define CoreExport __declspec(dllimport)
#define UtilExport __declspec(dllimport)
#define BMMExport __declspec(dllimport)
#define ScripterExport __declspec(dllimport)
#else
#define CoreExport __attribute__((visibility("default")))
#define UtilExport __attribute__((visibility("default")))
#define BMMExport __attribute__((visibility("default")))
#define ScripterExport __attribute__((visibility("default")))
#endif
