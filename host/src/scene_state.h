#pragma once
// The in-memory scene behind the stand-in SDK: nodes, selection, tracked items, bitmaps and the
// logs that tests and tools read. One per process, as the host has one scene.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <animtbl.h>
#include <bitmap.h>
#include <impapi.h>
#include <standin/scene.h>

#include "bitmap_manager_imp.h"
#include "scene_node.h"

namespace hostscene {

// A bitmap loaded by the bitmap manager, or held by a bitmap texture (its owner). DeleteThis
// frees a bitmap that the manager handed out and leaves a texture's bitmap to its texture.
struct LoadedBitmap {
  std::unique_ptr<Bitmap, BitmapRelease> bitmap;
  const void* owner = nullptr;
};

struct SceneState {
  SceneState() = default;
  SceneState(const SceneState&) = delete;
  SceneState& operator=(const SceneState&) = delete;
  ~SceneState() { clear(); }

  // Frees every node, item and bitmap and empties every log.
  void clear();

  std::vector<std::unique_ptr<SceneNode>> nodes;   // every node made, in the scene or pending
  std::vector<SceneNode*> sceneOrder;              // nodes in the scene, in order added
  std::vector<std::unique_ptr<ImportNode>> importNodes;
  std::vector<SceneNode*> selection;

  std::unordered_map<Animatable*, std::uint64_t> items;   // tracked item -> creation number
  std::uint64_t nextItemNumber = 0;
  std::unordered_map<const Animatable*, std::wstring> objectNames;
  std::unordered_map<const Bitmap*, LoadedBitmap> bitmaps;
  bool clearing = false;

  std::vector<std::wstring> journal;
  // Each script text is kept once, as UTF-8 in `scripts`: a sculpt's selection sets are large, and
  // nearly all of their characters take one byte there. A text that UTF-8 cannot carry exactly
  // keeps its wide form in `wideScripts` as well. The calls' other arguments are kept beside; the
  // wide log and `scriptCalls` are made from all of these when a test asks for them.
  struct ScriptArguments {
    BOOL quietErrors;
    bool wantsResult;
  };
  std::vector<std::string> scripts;
  std::unordered_map<std::size_t, std::wstring> wideScripts;
  std::vector<ScriptArguments> scriptArguments;
  std::vector<std::wstring> scriptLog;
  std::vector<standin::ScriptCall> scriptCalls;
  std::vector<standin::MessageBoxRecord> messageBoxes;
  std::vector<standin::LogEntryRecord> logEntries;
  std::vector<std::wstring> bitmapLoads;
  int redraws = 0;
  bool refuseCreateNode = false;
  bool refuseCreateNewTriObject = false;
};

SceneState& scene();
ImpInterface* importInterfaceInstance();

// Takes a new item into the scene's keeping (it is freed by resetScene unless deleted first);
// answers it, or null (and frees it) when even that fails.
template <typename T>
T* track(T* item) noexcept;
void trackItem(Animatable* item);
// Called by every item's destructor: drops the item from the keeping and every reference to it.
void forgetItem(Animatable* item) noexcept;
// Items in the keeping, oldest first.
std::vector<Animatable*> trackedItems();

// The node of the scene (or a pending node) behind an INode, or null.
SceneNode* findNode(INode* node);

// Names objects answer with GetObjectName.
void setObjectName(const Animatable* object, const wchar_t* name);
const wchar_t* objectName(const Animatable* object);

// Makes a bitmap that the scene keeps until released (DeleteThis, unless a texture owns it) or
// resetScene; null when the heap refuses.
Bitmap* newBitmap(const BitmapInfo& info, const void* owningTexture = nullptr);
void releaseBitmap(const Bitmap* bitmap) noexcept;
// What DeleteThis does: frees a bitmap that no texture owns.
void deleteUnownedBitmap(const Bitmap* bitmap) noexcept;

template <typename T>
T* track(T* item) noexcept {
  if (!item) return nullptr;
  try {
    trackItem(item);
    return item;
  } catch (...) {
    delete item;
    return nullptr;
  }
}

}  // namespace hostscene
