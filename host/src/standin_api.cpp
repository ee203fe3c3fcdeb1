// The stand-in's own API for tests and tools: building scenes and reading back what happened.
#include <standin/scene.h>

#include <new>
#include <stdexcept>

#include "code_page.h"
#include "host_heap.h"
#include "materials.h"
#include "scene_state.h"
#include "utf8_text.h"

namespace hostscene {
namespace {

// An object that is no geometry: it converts to nothing but itself.
class ShapeStandIn final : public ShapeObject {
public:
  Class_ID ClassID() override { return Class_ID(0x0000000A, 0); }
};

// Tracks a new item made for a test, naming it when it is an object; throws when the heap refuses.
template <typename T>
T* made(T* item, const wchar_t* name = nullptr) {
  if (!track(item)) throw std::bad_alloc();
  if (name) setObjectName(item, name);
  return item;
}

SceneNode* sceneNodeOf(INode* node) {
  SceneNode* found = findNode(node);
  if (!found) throw std::invalid_argument("not a node of the stand-in scene");
  return found;
}

}  // namespace
}  // namespace hostscene

namespace standin {

using hostscene::scene;

void resetScene() {
  scene().clear();
  hostscene::hostHeapRefused() = false;
}

Interface* coreInterface() { return GetCOREInterface(); }
ImpInterface* importInterface() { return hostscene::importInterfaceInstance(); }

INode* addNode(const wchar_t* name, Object* object, const Matrix3& tm) {
  auto node = std::make_unique<hostscene::SceneNode>();
  node->name = name ? name : L"";
  node->object = object;
  node->transform = tm;
  node->inScene = true;
  auto& state = scene();
  state.sceneOrder.reserve(state.sceneOrder.size() + 1);
  state.nodes.push_back(std::move(node));
  state.sceneOrder.push_back(state.nodes.back().get());
  return state.nodes.back().get();
}

Matrix3 nodeTransform(INode* node) { return hostscene::sceneNodeOf(node)->transform; }
void setObjectOffset(INode* node, const Matrix3& offset) { hostscene::sceneNodeOf(node)->objectOffset = offset; }
Point3 nodePivot(INode* node) { return hostscene::sceneNodeOf(node)->pivot; }

PolyObject* newPolyObject(const wchar_t* objectName) { return hostscene::made(new PolyObject, objectName); }
TriObject* newTriObject(const wchar_t* objectName) { return hostscene::made(new TriObject, objectName); }
Object* newShapeObject(const wchar_t* objectName) {
  return hostscene::made(new hostscene::ShapeStandIn, objectName);
}
void setObjectName(Object* object, const wchar_t* objectName) { hostscene::setObjectName(object, objectName); }

std::size_t liveObjectCount() { return scene().items.size(); }
std::size_t liveBitmapCount() { return scene().bitmaps.size(); }

void selectNodes(const std::vector<INode*>& nodes) {
  auto& selection = scene().selection;
  selection.clear();
  for (INode* node : nodes) {
    hostscene::SceneNode* chosen = hostscene::sceneNodeOf(node);
    if (chosen->inScene) selection.push_back(chosen);
  }
}

std::vector<INode*> sceneNodes() { return std::vector<INode*>(scene().sceneOrder.begin(), scene().sceneOrder.end()); }
std::vector<INode*> selectedNodes() { return std::vector<INode*>(scene().selection.begin(), scene().selection.end()); }
std::size_t pendingNodeCount() { return scene().nodes.size() - scene().sceneOrder.size(); }

BitmapTex* newBitmapTexture(const wchar_t* fileName) {
  auto* texture = hostscene::made(new hostscene::BitmapTexture);
  texture->mapName = fileName ? fileName : L"";
  texture->bitmapInfoName = texture->mapName;
  return texture;
}

Texmap* newOtherTexture() { return hostscene::made(new hostscene::OtherTexture); }
Mtl* newMultiMaterial() { return hostscene::made(new hostscene::MultiMaterial); }

std::vector<Mtl*> materials() {
  std::vector<Mtl*> found;
  for (Animatable* item : hostscene::trackedItems()) {
    if (auto* material = dynamic_cast<Mtl*>(item)) found.push_back(material);
  }
  return found;
}

MaterialState materialState(Mtl* material) {
  MaterialState state;
  if (!material) return state;
  state.name = material->GetName().data();
  auto* standard = dynamic_cast<hostscene::StandardMaterial*>(material);
  if (!standard) return state;
  state.ambient = standard->ambient;
  state.diffuse = standard->diffuse;
  state.specular = standard->specular;
  state.shininess = standard->shininess;
  state.shinStr = standard->shinStr;
  for (int i = 0; i < NTEXMAPS; ++i) {
    state.maps[i] = standard->maps[i];
    state.amounts[i] = standard->amounts[i];
    state.enabled[i] = standard->enabled[i];
  }
  return state;
}

TextureState textureState(Texmap* texture) {
  TextureState state;
  auto* bitmapTexture = dynamic_cast<hostscene::BitmapTexture*>(texture);
  if (!bitmapTexture) return state;
  state.mapName = bitmapTexture->mapName;
  state.bitmapInfoName = bitmapTexture->bitmapInfoName;
  state.reloads = bitmapTexture->reloads;
  return state;
}

const std::vector<std::wstring>& scriptLog() {
  hostscene::SceneState& state = scene();
  for (std::size_t i = state.scriptLog.size(); i < state.scripts.size(); ++i) {
    const auto wide = state.wideScripts.find(i);
    state.scriptLog.push_back(wide != state.wideScripts.end() ? wide->second
                                                               : hostscene::decodeUtf8(state.scripts[i]));
  }
  return state.scriptLog;
}
const std::vector<std::string>& scriptLogUtf8() { return scene().scripts; }
const std::vector<ScriptCall>& scriptCalls() {
  hostscene::SceneState& state = scene();
  const std::vector<std::wstring>& texts = scriptLog();
  for (std::size_t i = state.scriptCalls.size(); i < texts.size(); ++i) {
    const auto& arguments = state.scriptArguments[i];
    state.scriptCalls.push_back({texts[i], arguments.quietErrors, arguments.wantsResult});
  }
  return state.scriptCalls;
}
const std::vector<MessageBoxRecord>& messageBoxLog() { return scene().messageBoxes; }
const std::vector<LogEntryRecord>& logEntries() { return scene().logEntries; }

void setAnsiCodePage(UINT codePage) {
  if (codePage != hostscene::kWindows1252 && codePage != hostscene::kUtf8CodePage) {
    throw std::invalid_argument("the stand-in's ANSI code page is 1252 or 65001");
  }
  hostscene::ansiCodePage() = codePage;
}
const std::vector<std::wstring>& bitmapLoads() { return scene().bitmapLoads; }
int redrawCount() { return scene().redraws; }
const std::vector<std::wstring>& journal() { return scene().journal; }

void refuseCreateNode(bool refuse) { scene().refuseCreateNode = refuse; }
void refuseCreateNewTriObject(bool refuse) { scene().refuseCreateNewTriObject = refuse; }
void refuseHostHeap(bool refuse) { hostscene::hostHeapRefused() = refuse; }

}  // namespace standin
