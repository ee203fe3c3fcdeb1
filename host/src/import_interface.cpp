// The import interface: pending nodes that join the scene when added.
#include <algorithm>
#include <memory>
#include <new>

#include <impapi.h>

#include "journal_line.h"
#include "scene_state.h"

namespace hostscene {

class ImportInterface final : public ImpInterface {
public:
  ImpNode* CreateNode() override {
    journalCall(L"ImpInterface::CreateNode");
    SceneState& state = scene();
    if (state.refuseCreateNode) return nullptr;
    std::unique_ptr<SceneNode> node(new (std::nothrow) SceneNode);
    if (!node) return nullptr;
    std::unique_ptr<ImportNode> importNode(new (std::nothrow) ImportNode(node.get()));
    if (!importNode) return nullptr;
    state.nodes.reserve(state.nodes.size() + 1);
    state.importNodes.reserve(state.importNodes.size() + 1);
    state.nodes.push_back(std::move(node));
    state.importNodes.push_back(std::move(importNode));
    return state.importNodes.back().get();
  }

  void RedrawViews() override {
    journalCall(L"ImpInterface::RedrawViews");
    ++scene().redraws;
  }

  void AddNodeToScene(ImpNode* node) override {
    SceneState& state = scene();
    auto it = std::find_if(state.importNodes.begin(), state.importNodes.end(),
                           [node](const auto& candidate) { return candidate.get() == node; });
    SceneNode* sceneNode = it == state.importNodes.end() ? nullptr : (*it)->node;
    journalCall(L"ImpInterface::AddNodeToScene", sceneNode ? sceneNode->name : std::wstring());
    if (!sceneNode || sceneNode->inScene) return;
    state.sceneOrder.push_back(sceneNode);
    sceneNode->inScene = true;
  }
};

ImpInterface* importInterfaceInstance() {
  static ImportInterface instance;
  return &instance;
}

}  // namespace hostscene

ImpInterface::~ImpInterface() = default;
