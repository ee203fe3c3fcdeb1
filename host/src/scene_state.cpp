// The scene's keeping of nodes, items and bitmaps.
#include "scene_state.h"

#include <algorithm>
#include <utility>

#include "materials.h"

namespace hostscene {

SceneState& scene() {
  static SceneState state;
  return state;
}

void SceneState::clear() {
  clearing = true;
  selection.clear();
  sceneOrder.clear();
  importNodes.clear();
  nodes.clear();
  // Items are freed newest first; their destructors find the keeping already empty.
  std::vector<std::pair<std::uint64_t, Animatable*>> byAge;
  byAge.reserve(items.size());
  for (const auto& [item, number] : items) byAge.emplace_back(number, item);
  items.clear();
  std::sort(byAge.begin(), byAge.end());
  for (auto it = byAge.rbegin(); it != byAge.rend(); ++it) delete it->second;
  bitmaps.clear();
  objectNames.clear();
  nextItemNumber = 0;
  journal.clear();
  scripts.clear();
  wideScripts.clear();
  scriptArguments.clear();
  scriptLog.clear();
  scriptCalls.clear();
  messageBoxes.clear();
  logEntries.clear();
  bitmapLoads.clear();
  redraws = 0;
  refuseCreateNode = false;
  refuseCreateNewTriObject = false;
  clearing = false;
}

void trackItem(Animatable* item) {
  SceneState& state = scene();
  state.items.emplace(item, state.nextItemNumber++);
}

void forgetItem(Animatable* item) noexcept {
  SceneState& state = scene();
  if (state.clearing) return;
  state.items.erase(item);
  state.objectNames.erase(item);
  const void* address = item;
  for (const auto& node : state.nodes) {
    if (static_cast<const void*>(node->object) == address) node->object = nullptr;
    if (static_cast<const void*>(node->material) == address) node->material = nullptr;
  }
  // The item is half destroyed: only its address is compared, its type is no longer known
  // (every item's Animatable part starts at the item's address).
  for (const auto& entry : state.items) {
    if (auto* material = dynamic_cast<StandardMaterial*>(entry.first)) material->dropTexture(address);
  }
}

std::vector<Animatable*> trackedItems() {
  std::vector<std::pair<std::uint64_t, Animatable*>> byAge;
  for (const auto& [item, number] : scene().items) byAge.emplace_back(number, item);
  std::sort(byAge.begin(), byAge.end());
  std::vector<Animatable*> items;
  items.reserve(byAge.size());
  for (const auto& entry : byAge) items.push_back(entry.second);
  return items;
}

SceneNode* findNode(INode* node) {
  if (!node) return nullptr;
  for (const auto& candidate : scene().nodes) {
    if (candidate.get() == node) return candidate.get();
  }
  return nullptr;
}

void setObjectName(const Animatable* object, const wchar_t* name) {
  scene().objectNames[object] = name ? name : L"";
}

const wchar_t* objectName(const Animatable* object) {
  const auto& names = scene().objectNames;
  auto it = names.find(object);
  return it == names.end() ? L"Object" : it->second.c_str();
}

Bitmap* newBitmap(const BitmapInfo& info, const void* owningTexture) {
  std::unique_ptr<Bitmap, BitmapRelease> bitmap(BitmapManagerImp::make(info));
  if (!bitmap) return nullptr;
  Bitmap* raw = bitmap.get();
  scene().bitmaps.emplace(raw, LoadedBitmap{std::move(bitmap), owningTexture});
  return raw;
}

void releaseBitmap(const Bitmap* bitmap) noexcept {
  // Moved out first: the bitmap's destructor must not run inside the table's erase.
  auto& bitmaps = scene().bitmaps;
  auto it = bitmaps.find(bitmap);
  if (it == bitmaps.end()) return;
  LoadedBitmap owned = std::move(it->second);
  bitmaps.erase(it);
}

void deleteUnownedBitmap(const Bitmap* bitmap) noexcept {
  auto it = scene().bitmaps.find(bitmap);
  if (it != scene().bitmaps.end() && it->second.owner == nullptr) releaseBitmap(bitmap);
}

}  // namespace hostscene
