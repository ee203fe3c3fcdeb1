#pragma once
// Running host script text.
#include <cstddef>
#include <windows.h>
#include "../coreexp.h"
#include "../strbasic.h"

class FPValue;

// Runs the script text s; quietErrors suppresses the engine's error report; fpv, when given,
// receives the result. Answers TRUE when the text ran.
ScripterExport BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors = FALSE, FPValue* fpv = NULL);
