// Feeds arbitrary bytes through the whole import command on the stand-in host: the bytes become a
// Vuk file, the file is imported into an empty scene, and beyond the sanitizers' checks the scene
// is held to what the command promises. A refused file leaves the scene as it was; an accepted one
// leaves one selected node with its material, whose triangle mesh indexes only what it holds; and
// nothing the stand-in tracks outlives the scene.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "import_command.h"
#include "standin/scene.h"
#include "vuk_file.h"

namespace {

[[noreturn]] void fail(const char* broken) {
  std::fprintf(stderr, "fuzz_import: %s\n", broken);
  std::abort();
}

void require(bool holds, const char* broken) {
  if (!holds) fail(broken);
}

// The one file of this process that every input is written to; removed when the process ends.
class InputFile {
 public:
  InputFile()
      : leaf_(L"vuk_fuzz_import_" + std::to_wstring(getpid())),
        path_(std::filesystem::temp_directory_path() / (leaf_ + L".vuk")),
        wideName_(path_.wstring()) {}
  ~InputFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  void write(const std::uint8_t* data, std::size_t size) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    require(out.good(), "cannot write the input file");
  }

  const wchar_t* wideName() const { return wideName_.c_str(); }
  // What the import names the node: the leaf less its extension.
  const std::wstring& importName() const { return leaf_; }

 private:
  std::wstring leaf_;
  std::filesystem::path path_;
  std::wstring wideName_;
};

const InputFile& inputFile() {
  static const InputFile file;
  return file;
}

bool readerRefuses(const std::uint8_t* data, std::size_t size) {
  VukMesh record;
  return vuk::readVukBytes(record, data, size, nullptr) == 0;
}

void checkSceneUnchanged() {
  require(standin::sceneNodes().empty(), "a refused import left a node");
  require(standin::pendingNodeCount() == 0, "a refused import left an import node");
  require(standin::materials().empty(), "a refused import left a material");
  require(standin::scriptLog().empty(), "a refused import ran a script");
  require(standin::selectedNodes().empty(), "a refused import selected something");
  require(standin::redrawCount() == 0, "a refused import redrew the views");
  require(standin::liveObjectCount() == 0, "a refused import left an object");
  require(standin::liveBitmapCount() == 0, "a refused import left a bitmap");
}

// Each of `faces` index triples lies below `limit`.
bool indicesBelow(const TVFace* faces, int count, int limit) {
  for (int f = 0; f < count; ++f) {
    for (const DWORD index : faces[f].t) {
      if (index >= static_cast<DWORD>(limit)) return false;
    }
  }
  return true;
}

void checkMesh(const Mesh& mesh) {
  require(mesh.numVerts >= 0 && mesh.numFaces >= 0, "negative mesh counts");
  require(mesh.numFaces == 0 || mesh.faces != nullptr, "faces counted but missing");
  for (int f = 0; f < mesh.numFaces; ++f) {
    for (const DWORD index : mesh.faces[f].v) {
      require(index < static_cast<DWORD>(mesh.numVerts), "a face vertex beyond the vertices");
    }
  }
  if (mesh.tvFace != nullptr) {
    require(indicesBelow(mesh.tvFace, mesh.numFaces, mesh.numTVerts),
            "a texture face beyond the texture vertices");
  }
  if (mesh.vcFace != nullptr) {
    require(indicesBelow(mesh.vcFace, mesh.numFaces, mesh.numCVerts),
            "a colour face beyond the vertex colours");
  }
}

// Every string in the script is closed: a text from the file cannot end one early or leave one
// open, whatever quotes and backslashes it holds.
bool stringsClosed(const std::wstring& script) {
  bool inString = false;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (inString && script[i] == L'\\') {
      ++i;
    } else if (script[i] == L'"') {
      inString = !inString;
    }
  }
  return !inString;
}

void checkScripts() {
  const std::vector<std::wstring>& scripts = standin::scriptLog();
  require(!scripts.empty() && scripts.front() == L"IDisplayGamma.colorCorrectionMode = #none;",
          "an accepted import did not first turn display gamma off");
  for (const std::wstring& script : scripts) {
    require(stringsClosed(script), "a script string left open");
  }
}

// Tracked items an accepted import accounts for: the object, the material and its textures.
std::size_t itemsOfImport(Mtl* material) {
  const standin::MaterialState state = standin::materialState(material);
  const std::set<Texmap*> textures(std::begin(state.maps), std::end(state.maps));
  return 2 + textures.size() - textures.count(nullptr);
}

void checkImportedNode() {
  require(standin::sceneNodes().size() == 1, "an accepted import did not add exactly one node");
  require(standin::pendingNodeCount() == 0, "an accepted import left an import node");
  INode* node = standin::sceneNodes()[0];
  require(node->GetName() == inputFile().importName(), "the node is not named after the file");
  require(standin::selectedNodes() == std::vector<INode*>{node}, "the node is not the selection");
  require(standin::redrawCount() == 1, "an accepted import did not redraw once");
  checkScripts();
  require(standin::materials().size() == 1 && node->GetMtl() == standin::materials()[0],
          "the node does not carry the one new material");
  Object* object = node->GetObjectRef();
  require(object != nullptr && object->ClassID() == triObjectClassID,
          "the node does not hold a triangle-mesh object");
  checkMesh(static_cast<TriObject*>(object)->GetMesh());
  require(standin::liveObjectCount() == itemsOfImport(node->GetMtl()),
          "an accepted import left an object nothing holds");
  require(standin::liveBitmapCount() == 0, "an accepted import left a loaded bitmap");
}

void checkSceneEmptied() {
  require(standin::liveObjectCount() == 0, "an object outlived the scene");
  require(standin::liveBitmapCount() == 0, "a bitmap outlived the scene");
  require(standin::sceneNodes().empty() && standin::pendingNodeCount() == 0,
          "a node outlived the scene");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const InputFile& file = inputFile();
  file.write(data, size);
  standin::resetScene();
  const int answer = runImport(file.wideName(), standin::importInterface(),
                               standin::coreInterface());
  require(answer == 0 || answer == 1, "the import answered neither 0 nor 1");
  require(answer == 0 || !readerRefuses(data, size), "a file the reader refuses was imported");
  if (answer == 0) {
    checkSceneUnchanged();
  } else {
    checkImportedNode();
  }
  standin::resetScene();
  checkSceneEmptied();
  return 0;
}
