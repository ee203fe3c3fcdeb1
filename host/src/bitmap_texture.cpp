// The bitmap texture.
#include <new>

#include "journal_line.h"
#include "materials.h"
#include "scene_state.h"

namespace hostscene {

BitmapTexture::~BitmapTexture() { dropBitmap(); }

void BitmapTexture::dropBitmap() noexcept {
  releaseBitmap(bitmap);
  bitmap = nullptr;
}

void BitmapTexture::SetMapName(const MCHAR* pName, bool) {
  journalCall(L"BitmapTex::SetMapName", pName);
  mapName = pName ? pName : L"";
  dropBitmap();
}

void BitmapTexture::SetMap(const MaxSDK::AssetManagement::AssetUser& asset, bool isUIAction) {
  const MSTR fileName = asset.GetFileName();
  journalCall(L"BitmapTex::SetMap", fileName.data(), isUIAction);
  mapName = fileName.data();
  dropBitmap();
}

Bitmap* BitmapTexture::GetBitmap(TimeValue) {
  if (mapName.empty()) return nullptr;
  if (!bitmap) bitmap = newBitmap(BitmapInfo(mapName.c_str()), this);
  return bitmap;
}

void BitmapTexture::BitmapLoadDlg() { journalCall(L"BitmapTex::BitmapLoadDlg"); }

void BitmapTexture::ReloadBitmapAndUpdate() {
  journalCall(L"BitmapTex::ReloadBitmapAndUpdate");
  ++reloads;
  dropBitmap();
}

void BitmapTexture::fnReload() {
  journalCall(L"BitmapTex::fnReload");
  ++reloads;
  dropBitmap();
}

void BitmapTexture::fnViewImage() { journalCall(L"BitmapTex::fnViewImage"); }

void BitmapTexture::SetBitmapInfo(const BitmapInfo& bi) {
  journalCall(L"BitmapTex::SetBitmapInfo", bi.Name());
  bitmapInfoName = bi.Name();
}

}  // namespace hostscene

BitmapTex* NewDefaultBitmapTex() {
  hostscene::journalCall(L"NewDefaultBitmapTex");
  return hostscene::track(new (std::nothrow) hostscene::BitmapTexture);
}
