// Host script text: recorded in order, never run.
#include <maxscript/maxscript.h>

#include "journal_line.h"
#include "scene_state.h"

BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv) {
  hostscene::journalCall(L"ExecuteMAXScriptScript");
  if (!s) return FALSE;
  hostscene::SceneState& state = hostscene::scene();
  state.scripts.emplace_back(s);
  state.scriptArguments.push_back({quietErrors, fpv != nullptr});
  return TRUE;
}
