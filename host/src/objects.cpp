// Scene items and objects: names, class ids, conversions.
#include <new>

#include <animtbl.h>
#include <object.h>
#include <polyobj.h>
#include <triobj.h>

#include "journal_line.h"
#include "object_conversion.h"
#include "scene_state.h"

Class_ID polyObjectClassID(POLYOBJ_CLASS_ID, 0);
Class_ID triObjectClassID(TRIOBJ_CLASS_ID, 0);

Animatable::Animatable() = default;
Animatable::~Animatable() { hostscene::forgetItem(this); }
Class_ID Animatable::ClassID() { return Class_ID(0, 0); }

const MCHAR* BaseObject::GetObjectName() { return hostscene::objectName(this); }

int Object::CanConvertToType(Class_ID obtype) { return obtype == ClassID(); }

Object* Object::ConvertToType(TimeValue, Class_ID obtype) {
  hostscene::journalCall(L"ConvertToType", GetObjectName(), obtype.PartA(), obtype.PartB());
  return obtype == ClassID() ? this : nullptr;
}

TriObject::TriObject() = default;
TriObject::~TriObject() = default;

Class_ID TriObject::ClassID() { return triObjectClassID; }

int TriObject::CanConvertToType(Class_ID obtype) {
  return obtype == triObjectClassID || obtype == polyObjectClassID;
}

Object* TriObject::ConvertToType(TimeValue, Class_ID obtype) {
  hostscene::journalCall(L"ConvertToType", GetObjectName(), obtype.PartA(), obtype.PartB());
  if (obtype == triObjectClassID) return this;
  if (obtype != polyObjectClassID) return nullptr;
  PolyObject* poly = hostscene::polyFromTriangles(mesh);
  if (poly) hostscene::setObjectName(poly, GetObjectName());
  return poly;
}

PolyObject::PolyObject() = default;
PolyObject::~PolyObject() = default;

Class_ID PolyObject::ClassID() { return polyObjectClassID; }

int PolyObject::CanConvertToType(Class_ID obtype) { return obtype == polyObjectClassID; }

Object* PolyObject::ConvertToType(TimeValue, Class_ID obtype) {
  hostscene::journalCall(L"ConvertToType", GetObjectName(), obtype.PartA(), obtype.PartB());
  return obtype == polyObjectClassID ? this : nullptr;
}

TriObject* CreateNewTriObject() {
  hostscene::journalCall(L"CreateNewTriObject");
  if (hostscene::scene().refuseCreateNewTriObject) return nullptr;
  return hostscene::track(new (std::nothrow) TriObject);
}
