#pragma once
// The stand-in host's own API, for tests and tools only (plug-in sources never include it):
// build a scene, select, read back what a plug-in did, and start afresh.
//
// Ownership: every object, material, texture and bitmap that the stand-in makes (these factories,
// CreateNewTriObject, ConvertToType, NewDefaultStdMat, NewDefaultBitmapTex, BitmapManager::Load)
// is tracked. `delete` on a tracked object, material or texture is allowed: it leaves the
// tracking, and nodes and materials that referenced it drop the reference. resetScene frees the
// rest, and so does the end of the program.
//
// The journal holds the host calls that change something, one line each, in order: the call's
// name, then its arguments, blank-separated (integers in decimal, floats in their shortest exact
// form, texts as they are), e.g. L"ImpNode::SetName Head 1". Lines:
//   ImpInterface::CreateNode | ImpInterface::AddNodeToScene <name> | ImpInterface::RedrawViews
//   ImpNode::SetName <name> <0|1> | ImpNode::Reference <object name> | ImpNode::SetTransform <t>
//   ImpNode::SetPivot <x> <y> <z>
//   Interface::SelectNode <name> <clearSel> | Interface::ClearNodeSelection <redraw>
//   Interface::RedrawViews <t> <flags>
//   INode::SetName <name> | INode::SetMtl <material name>
//   CreateNewTriObject | ConvertToType <from object name> <class part A> <class part B>
//   NewDefaultStdMat | NewDefaultBitmapTex | MtlBase::SetName <name>
//   MtlBase::SetSubTexmap <slot> | StdMat::SetTexmapAmt <slot> <amount> <t>
//   StdMat::EnableMap <slot> <0|1>
//   BitmapTex::SetMapName <name> | BitmapTex::SetMap <file name> <0|1>
//   BitmapTex::SetBitmapInfo <name> | BitmapTex::BitmapLoadDlg | BitmapTex::ReloadBitmapAndUpdate
//   BitmapTex::fnReload | BitmapTex::fnViewImage | BitmapManager::Load <name>
//   ExecuteMAXScriptScript | MessageBoxW | LogSys::LogEntry <type> <dialogue> |
//   UseLanguagePackLocale <module> |
//   DisableThreadLibraryCalls <module>       (module handles in decimal)
// plus the triangle and poly mesh calls listed in mesh.h and mnmesh.h (e.g. Mesh::setNumVerts).
// Colour setters, getters and per-element calls are not journaled.
//
// Functions below that take a node throw std::invalid_argument for a node the stand-in did not
// make.
#include <cstddef>
#include <string>
#include <vector>

#include <bitmap.h>
#include <color.h>
#include <impapi.h>
#include <imtl.h>
#include <inode.h>
#include <matrix3.h>
#include <maxapi.h>
#include <object.h>
#include <polyobj.h>
#include <stdmat.h>
#include <triobj.h>
#include <windows.h>

namespace standin {

// Empties the scene, frees every tracked item, clears every log and every refusal.
CoreExport void resetScene();

CoreExport Interface* coreInterface();      // the same object as GetCOREInterface()
CoreExport ImpInterface* importInterface();  // the import interface onto the scene

// Adds a node holding `object` to the scene (not selected).
CoreExport INode* addNode(const wchar_t* name, Object* object, const Matrix3& tm = Matrix3(TRUE));
// The node's transform, as addNode or ImpNode::SetTransform gave it.
CoreExport Matrix3 nodeTransform(INode* node);
// The object offset of a node (identity unless set): GetObjectTM is offset * node transform.
CoreExport void setObjectOffset(INode* node, const Matrix3& offset);
CoreExport Point3 nodePivot(INode* node);   // what ImpNode::SetPivot gave, else (0, 0, 0)

// Objects. Fill a poly object's MNMesh (setNumVerts/setNumFaces/SetDeg/vtx, maps, FillInMesh) or
// a tri object's Mesh directly. GetObjectName answers `objectName`.
CoreExport PolyObject* newPolyObject(const wchar_t* objectName = L"Object");
CoreExport TriObject* newTriObject(const wchar_t* objectName = L"Object");
// An object that converts to nothing but itself.
CoreExport Object* newShapeObject(const wchar_t* objectName = L"Shape");
CoreExport void setObjectName(Object* object, const wchar_t* objectName);
// Objects, materials and textures still alive (tracked), and loaded bitmaps still alive.
CoreExport std::size_t liveObjectCount();
CoreExport std::size_t liveBitmapCount();

// Selection and scene contents.
CoreExport void selectNodes(const std::vector<INode*>& nodes);   // replaces the selection, in this order
CoreExport std::vector<INode*> sceneNodes();                     // nodes in the scene, in order added
CoreExport std::vector<INode*> selectedNodes();
CoreExport std::size_t pendingNodeCount();   // import nodes made but not added to the scene

// Materials and textures.
CoreExport BitmapTex* newBitmapTexture(const wchar_t* fileName);  // its bitmap names fileName
CoreExport Texmap* newOtherTexture();     // a texture that is not a bitmap texture
CoreExport Mtl* newMultiMaterial();       // a material that is not a standard material
CoreExport std::vector<Mtl*> materials(); // every live material, in order made

struct MaterialState {
  std::wstring name;
  Color ambient{0.0f, 0.0f, 0.0f}, diffuse{0.0f, 0.0f, 0.0f}, specular{0.0f, 0.0f, 0.0f};
  float shininess = 0.0f, shinStr = 0.0f;
  Texmap* maps[NTEXMAPS] = {};
  float amounts[NTEXMAPS] = {};
  bool enabled[NTEXMAPS] = {};
};
// Everything a standard material holds; for another material only its name.
CoreExport MaterialState materialState(Mtl* material);

struct TextureState {
  std::wstring mapName;         // what SetMapName or SetMap gave
  std::wstring bitmapInfoName;  // what SetBitmapInfo gave
  int reloads = 0;              // ReloadBitmapAndUpdate and fnReload calls
};
// A bitmap texture's state; empty for another texture.
CoreExport TextureState textureState(Texmap* texture);

// Logs.
CoreExport const std::vector<std::wstring>& scriptLog();   // every script text, in order
// The same texts in UTF-8, as they are kept; a code unit that is no Unicode scalar value is U+FFFD
// here (scriptLog keeps it).
CoreExport const std::vector<std::string>& scriptLogUtf8();
struct ScriptCall {
  std::wstring text;
  BOOL quietErrors;
  bool wantsResult;   // a result value was asked for
};
CoreExport const std::vector<ScriptCall>& scriptCalls();
struct MessageBoxRecord {
  std::wstring text, caption;
  unsigned type;
};
CoreExport const std::vector<MessageBoxRecord>& messageBoxLog();
// The host's log (Interface::Log()), every entry in order: its type (SYSLOG_ERROR, ...), whether
// a dialog was asked for (DISPLAY_DIALOG; the stand-in shows none), the title (empty when null)
// and the text as filled in from the format.
struct LogEntryRecord {
  DWORD type;
  BOOL dialogue;
  std::wstring title, text;
};
CoreExport const std::vector<LogEntryRecord>& logEntries();
CoreExport const std::vector<std::wstring>& bitmapLoads();  // names given to TheManager->Load
CoreExport int redrawCount();                               // ImpInterface::RedrawViews calls
CoreExport const std::vector<std::wstring>& journal();

// The system's ANSI code page, which CP_ACP, WStr::FromACP and WStr::ToCStr follow: 1252
// (Windows-1252, what the stand-in starts with) or 65001 (UTF-8); any other value throws
// std::invalid_argument. It is a setting of the system, not of the scene: resetScene leaves it.
CoreExport void setAnsiCodePage(UINT codePage);

// Refusals, for failure paths: while set, the call answers null (the host heap: plain
// MaxHeapOperators new throws std::bad_alloc and the nothrow form answers null).
CoreExport void refuseCreateNode(bool refuse);
CoreExport void refuseCreateNewTriObject(bool refuse);
CoreExport void refuseHostHeap(bool refuse);

}  // namespace standin
