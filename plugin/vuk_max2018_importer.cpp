// VukMax2018Importer.dli: the scene importer class, its descriptor and the descriptor's entry point.
#include "vuk_plugin_module.h"
#include "resource.h"
#include "import_command.h"
#include <max.h>
#include <impexp.h>
#include <iparamb2.h>
#include <plugapi.h>
#include <new>

class VukMax2018Importer : public VukFilePlugin<SceneImport> {
public:
  const MCHAR* LongDesc() override { return _M("Morvantis's Vuk file format importer."); }

  // Every failure, an escaping exception included, answers IMPEXP_FAIL: nothing crosses into
  // the host. ZoomExtents keeps the host's default answer.
  int DoImport(const MCHAR* name, ImpInterface* ii, Interface* i, BOOL /*suppressPrompts*/) override {
    try {
      return runImport(name, ii, i);
    } catch (...) {
      return IMPEXP_FAIL;
    }
  }
};

class VukMax2018ImporterClassDesc : public ClassDesc2 {
public:
  int IsPublic() override { return TRUE; }
  void* Create(BOOL /*loading*/) override { return new (std::nothrow) VukMax2018Importer; }
  const MCHAR* ClassName() override { return GetResourceString(IDS_CLASS_NAME); }
  SClass_ID SuperClassID() override { return SCENE_IMPORT_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0xB07D0454, 0x98B2D777); }
  const MCHAR* Category() override { return GetResourceString(IDS_CATEGORY); }
  const MCHAR* InternalName() override { return _M("VukMax2018Importer"); }
  HINSTANCE HInstance() override { return savedModuleHandle(); }
};

// The one descriptor, made on the first request (a thread-safe one-time initialisation) and
// destroyed when the module is unloaded.
extern "C" VUK_MODULE_EXPORT ClassDesc* LibClassDesc(int i) {
  if (i != 0) return nullptr;
  static VukMax2018ImporterClassDesc descriptor;
  return &descriptor;
}
