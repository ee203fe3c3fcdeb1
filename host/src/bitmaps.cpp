// Image file descriptions, assets and the bitmap manager.
#include <bitmap.h>

#include "journal_line.h"
#include "scene_state.h"

namespace MaxSDK {
namespace AssetManagement {

AssetUser::AssetUser() = default;
AssetUser::AssetUser(const MCHAR* name) : fileName(name) {}
AssetUser::AssetUser(const AssetUser& other) = default;
AssetUser& AssetUser::operator=(const AssetUser& other) = default;
AssetUser::~AssetUser() = default;
const MSTR& AssetUser::GetFileName() const { return fileName; }

}  // namespace AssetManagement
}  // namespace MaxSDK

BitmapInfo::BitmapInfo() = default;
BitmapInfo::BitmapInfo(const MCHAR* n) : asset(n) {}
BitmapInfo::BitmapInfo(const MaxSDK::AssetManagement::AssetUser& a) : asset(a) {}
BitmapInfo::BitmapInfo(const BitmapInfo& bi) = default;
BitmapInfo& BitmapInfo::operator=(const BitmapInfo& bi) = default;
BitmapInfo::~BitmapInfo() = default;

const MCHAR* BitmapInfo::Name() const { return asset.fileName.data(); }

const MCHAR* BitmapInfo::SetName(const MCHAR* n) {
  asset = MaxSDK::AssetManagement::AssetUser(n);
  return Name();
}

const MaxSDK::AssetManagement::AssetUser& BitmapInfo::GetAsset() const { return asset; }

BitmapStorage::~BitmapStorage() = default;
Bitmap::Bitmap(BitmapManager*) : storage(nullptr) {}
Bitmap::~Bitmap() { delete storage; }
void Bitmap::DeleteThis() { hostscene::deleteUnownedBitmap(this); }

Bitmap* BitmapManagerImp::make(const BitmapInfo& info) noexcept {
  std::unique_ptr<BitmapStorage> storage(new (std::nothrow) BitmapStorage);
  if (!storage) return nullptr;
  try {
    storage->bi = info;
  } catch (...) {
    return nullptr;
  }
  Bitmap* bitmap = new (std::nothrow) Bitmap(TheManager);
  if (bitmap) bitmap->storage = storage.release();
  return bitmap;
}

void BitmapManagerImp::destroy(Bitmap* bitmap) noexcept { delete bitmap; }
BitmapManager::~BitmapManager() = default;

namespace hostscene {
namespace {

// Loads nothing from disk: every load succeeds with a bitmap that remembers its description.
class StandInBitmapManager final : public BitmapManager {
public:
  ~StandInBitmapManager() override = default;

  Bitmap* Load(BitmapInfo* bi, BMMRES* status = NULL) override {
    journalCall(L"BitmapManager::Load", bi ? bi->Name() : L"");
    if (!bi) return nullptr;
    scene().bitmapLoads.push_back(bi->Name());
    if (status) *status = BMMRES_SUCCESS;
    return newBitmap(*bi);
  }
};

BitmapManager* bitmapManager() {
  static StandInBitmapManager manager;
  return &manager;
}

}  // namespace
}  // namespace hostscene

BitmapManager* TheManager = hostscene::bitmapManager();
