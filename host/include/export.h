#pragma once
// The export marker of the mesh and poly-mesh libraries. The host's plug-ins include these
// headers without importing them, so a function defined in a header under this marker is
// exported by every module that includes it, whether or not the module calls it; on Linux the
// marker keeps such a function and gives it default visibility.
#ifdef DllExport
#undef DllExport
#endif
#define DllExport __attribute__((visibility("default"), used))
