// Materials: the base's name and slots, the standard material, the other kinds.
#include "materials.h"

#include <new>

#include "journal_line.h"
#include "scene_state.h"
#include "undefined_use.h"

ISubMap::~ISubMap() = default;
Texmap* ISubMap::GetSubTexmap(int) { return nullptr; }
void ISubMap::SetSubTexmap(int, Texmap*) {}

MtlBase::MtlBase() = default;
MtlBase::~MtlBase() = default;
MSTR& MtlBase::GetName() { return name; }

void MtlBase::SetName(MSTR s) {
  hostscene::journalCall(L"MtlBase::SetName", s.data());
  name = s;
}

namespace hostscene {
namespace {

// The host's standard material indexes its slot tables unchecked.
void checkSlot(int id, const char* call) {
  if (id < 0 || id >= NTEXMAPS) stopOnUndefinedUse(call, "map slot outside 0 to NTEXMAPS - 1");
}

}  // namespace

StandardMaterial::StandardMaterial()
    : ambient(0.5f, 0.5f, 0.5f), diffuse(0.5f, 0.5f, 0.5f), specular(0.9f, 0.9f, 0.9f) {
  for (float& amount : amounts) amount = 1.0f;
}

Texmap* StandardMaterial::GetSubTexmap(int i) {
  checkSlot(i, "StdMat::GetSubTexmap");
  return maps[i];
}

void StandardMaterial::SetSubTexmap(int i, Texmap* m) {
  journalCall(L"MtlBase::SetSubTexmap", i);
  checkSlot(i, "StdMat::SetSubTexmap");
  maps[i] = m;
}

void StandardMaterial::SetAmbient(Color c, TimeValue) { ambient = c; }
void StandardMaterial::SetDiffuse(Color c, TimeValue) { diffuse = c; }
void StandardMaterial::SetSpecular(Color c, TimeValue) { specular = c; }
void StandardMaterial::SetShininess(float v, TimeValue) { shininess = v; }
void StandardMaterial::SetShinStr(float v, TimeValue) { shinStr = v; }

void StandardMaterial::EnableMap(int id, BOOL onoff) {
  journalCall(L"StdMat::EnableMap", id, onoff);
  checkSlot(id, "StdMat::EnableMap");
  enabled[id] = onoff != FALSE;
}

BOOL StandardMaterial::MapEnabled(int id) {
  checkSlot(id, "StdMat::MapEnabled");
  return enabled[id] ? TRUE : FALSE;
}

void StandardMaterial::SetTexmapAmt(int id, float amt, TimeValue t) {
  journalCall(L"StdMat::SetTexmapAmt", id, amt, t);
  checkSlot(id, "StdMat::SetTexmapAmt");
  amounts[id] = amt;
}

float StandardMaterial::GetTexmapAmt(int id, TimeValue) {
  checkSlot(id, "StdMat::GetTexmapAmt");
  return amounts[id];
}

void StandardMaterial::dropTexture(const void* texture) {
  for (Texmap*& slot : maps) {
    if (static_cast<const void*>(slot) == texture) slot = nullptr;
  }
}

Class_ID OtherTexture::ClassID() { return Class_ID(0x0100, 0); }

}  // namespace hostscene

StdMat2* NewDefaultStdMat() {
  hostscene::journalCall(L"NewDefaultStdMat");
  return hostscene::track(new (std::nothrow) hostscene::StandardMaterial);
}
