#pragma once
// Scenes for export tests, built through the stand-in host.
#include <cstdint>
#include <vector>

#include "standin/scene.h"

// An axis-aligned box from (-1, -2, -3) to (1, 2, 3): 8 corners, 6 quads, a colour per corner in
// channel 0 and a (u, v) per corner in channel 1.
inline PolyObject* newBoxObject(const wchar_t* objectName) {
  PolyObject* object = standin::newPolyObject(objectName);
  MNMesh& poly = object->GetMesh();
  poly.setNumVerts(8);
  for (int i = 0; i < 8; ++i) poly.v[i].p = Point3(i & 1 ? 1.0f : -1.0f, i & 2 ? 2.0f : -2.0f, i & 4 ? 3.0f : -3.0f);
  const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  poly.setNumFaces(6);
  for (int f = 0; f < 6; ++f) {
    poly.f[f].SetDeg(4);
    for (int k = 0; k < 4; ++k) poly.f[f].vtx[k] = quads[f][k];
  }
  poly.SetMapNum(2);
  for (int channel = 0; channel < 2; ++channel) {
    MNMap* map = poly.M(channel);
    map->setNumVerts(8);
    for (int i = 0; i < 8; ++i) map->v[i] = Point3(i / 8.0f, (i % 3) / 4.0f, (i & 1) ? 1.0f : 0.25f);
    map->setNumFaces(6);
    for (int f = 0; f < 6; ++f) {
      map->f[f].SetSize(4);
      for (int k = 0; k < 4; ++k) map->f[f].tv[k] = quads[f][k];
    }
  }
  poly.FillInMesh();
  return object;
}

// A node holding a new box, selected alone.
inline INode* selectedBoxNode(const wchar_t* nodeName = L"BoxNode", const wchar_t* objectName = L"Box001") {
  INode* node = standin::addNode(nodeName, newBoxObject(objectName));
  standin::selectNodes({node});
  return node;
}
