// The host's main interface onto the scene: selection, nodes by name, time, viewports.
#include <algorithm>
#include <cwchar>

#include <inode.h>
#include <maxapi.h>

#include "host_log.h"
#include "journal_line.h"
#include "scene_state.h"

namespace hostscene {
namespace {

class CoreInterface final : public Interface {
public:
  INode* GetSelNode(int i) override {
    const auto& selection = scene().selection;
    if (i < 0 || static_cast<std::size_t>(i) >= selection.size()) return nullptr;
    return selection[static_cast<std::size_t>(i)];
  }

  int GetSelNodeCount() override { return static_cast<int>(scene().selection.size()); }

  void SelectNode(INode* node, int clearSel = 1) override {
    SceneNode* chosen = findNode(node);
    journalCall(L"Interface::SelectNode", chosen ? chosen->name : std::wstring(), clearSel);
    if (!chosen || !chosen->inScene) return;
    auto& selection = scene().selection;
    if (clearSel) selection.clear();
    if (std::find(selection.begin(), selection.end(), chosen) == selection.end()) {
      selection.push_back(chosen);
    }
  }

  void ClearNodeSelection(BOOL redraw = TRUE) override {
    journalCall(L"Interface::ClearNodeSelection", redraw);
    scene().selection.clear();
  }

  INode* GetINodeByName(const MCHAR* name) override {
    if (!name) return nullptr;
    for (SceneNode* node : scene().sceneOrder) {
      if (node->name == name) return node;
    }
    return nullptr;
  }

  TimeValue GetTime() override { return 0; }

  void RedrawViews(TimeValue t, DWORD vpFlags = REDRAW_NORMAL, ReferenceTarget* = NULL) override {
    journalCall(L"Interface::RedrawViews", t, vpFlags);
  }

  LogSys* Log() override { return hostLog(); }
};

}  // namespace
}  // namespace hostscene

Interface::~Interface() = default;

Interface* GetCOREInterface() {
  static hostscene::CoreInterface core;
  return &core;
}
