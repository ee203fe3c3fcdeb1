// Host script text: recorded in order, never run.
#include <maxscript/maxscript.h>

#include "journal_line.h"
#include "scene_state.h"
#include "utf8_text.h"

BOOL ExecuteMAXScriptScript(const MCHAR* s, BOOL quietErrors, FPValue* fpv) {
  hostscene::journalCall(L"ExecuteMAXScriptScript");
  if (!s) return FALSE;
  hostscene::SceneState& state = hostscene::scene();
  bool exact = true;
  state.scripts.push_back(hostscene::encodeUtf8(s, exact));
  if (!exact) state.wideScripts.emplace(state.scripts.size() - 1, s);
  state.scriptArguments.push_back({quietErrors, fpv != nullptr});
  return TRUE;
}
