#pragma once
// The export command: the first selected node that converts to an editable poly, written as a
// Vuk file at `name` with its texture maps as TIFF images beside it.
#include <maxapi.h>

// Answers 1 when the node was exported (or had no vertices, which writes no file) and 0 when
// nothing could be exported: an empty selection (with a message box unless prompts are
// suppressed), no convertible node, a texture path that the system's code page cannot hold, a
// texture image that cannot be read or re-saved, a Vuk file that cannot be written, or any error
// on the way. On 0 the reason is in the host's log, one entry naming the export file. No
// exception leaves this function.
int runExport(const MCHAR* name, Interface* ip, BOOL suppressPrompts = FALSE) noexcept;
