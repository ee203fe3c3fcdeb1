#pragma once
// The export command: the first selected node that converts to an editable poly, written as a
// Vuk file at `name` with its texture maps as TIFF images beside it.
#include <maxapi.h>

// Answers 1 when the node was exported (or had no vertices, which writes no file) and 0 when
// nothing could be exported: an empty selection (after a message box), no convertible node, an
// export path with no 8-bit form, a texture image that cannot be read or re-saved, a Vuk file
// that cannot be written, or any error on the way. No exception leaves this function.
int runExport(const MCHAR* name, Interface* ip) noexcept;
