// VukMax2018Exporter.dle: the scene exporter class, its descriptor and the descriptor's entry point.
#include "vuk_plugin_module.h"
#include "resource.h"
#include "export_command.h"
#include <max.h>
#include <impexp.h>
#include <iparamb2.h>
#include <plugapi.h>
#include <new>

class VukMax2018Exporter : public VukFilePlugin<SceneExport> {
public:
  const MCHAR* LongDesc() override { return _M("Morvantis's Vuk file format exporter."); }

  // Every failure, an escaping exception included, answers IMPEXP_FAIL: nothing crosses into
  // the host.
  int DoExport(const MCHAR* name, ExpInterface* /*ei*/, Interface* i, BOOL suppressPrompts,
               DWORD /*options*/) override {
    try {
      return runExport(name, i, suppressPrompts);
    } catch (...) {
      return IMPEXP_FAIL;
    }
  }

  BOOL SupportsOptions(int /*ext*/, DWORD /*options*/) override { return TRUE; }
};

class VukMax2018ExporterClassDesc : public ClassDesc2 {
public:
  int IsPublic() override { return TRUE; }
  void* Create(BOOL /*loading*/) override { return new (std::nothrow) VukMax2018Exporter; }
  const MCHAR* ClassName() override { return GetResourceString(IDS_CLASS_NAME); }
  SClass_ID SuperClassID() override { return SCENE_EXPORT_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x552EBE7C, 0x81518901); }
  const MCHAR* Category() override { return GetResourceString(IDS_CATEGORY); }
  const MCHAR* InternalName() override { return _M("VukMax2018Exporter"); }
  HINSTANCE HInstance() override { return savedModuleHandle(); }
};

// The one descriptor, made on the first request (a thread-safe one-time initialisation) and
// destroyed when the module is unloaded.
extern "C" VUK_MODULE_EXPORT ClassDesc* LibClassDesc(int i) {
  if (i != 0) return nullptr;
  static VukMax2018ExporterClassDesc descriptor;
  return &descriptor;
}
