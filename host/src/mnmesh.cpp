#include <mnmesh.h>

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

#include "raw_array.h"
#include "undefined_use.h"

namespace {

// Sizes the corner arrays of one face together to `wanted` entries, keeping the leading ones.
// Either all of them change or, when memory runs out, none (std::bad_alloc).
template <std::size_t N>
void resizeCorners(int& degree, int wanted, int** const (&arrays)[N]) {
  if (wanted < 0) return;
  std::unique_ptr<int[]> fresh[N];
  for (std::size_t i = 0; i < N; ++i) {
    fresh[i] = freshArray<int>(wanted);
    if (wanted > 0 && !fresh[i]) throw std::bad_alloc();
  }
  for (std::size_t i = 0; i < N; ++i) adoptArray(*arrays[i], std::move(fresh[i]), degree, wanted);
  degree = wanted;
}

// Gives a new face copies of another face's corner arrays; on failure nothing is allocated.
template <std::size_t N>
void copyCorners(int& degree, int fromDegree, int** const (&arrays)[N],
                 const int* const (&sources)[N]) {
  std::unique_ptr<int[]> fresh[N];
  for (std::size_t i = 0; i < N; ++i) fresh[i].reset(duplicateArray(sources[i], fromDegree));
  for (std::size_t i = 0; i < N; ++i) {
    releaseArray(*arrays[i]);
    *arrays[i] = fresh[i].release();
  }
  degree = fromDegree;
}

}  // namespace

MNFace::MNFace(const MNFace& from) : smGroup(from.smGroup), material(from.material) {
  copyCorners(deg, from.deg, {&vtx, &edg}, {from.vtx, from.edg});
}

MNFace& MNFace::operator=(const MNFace& from) {
  if (this != &from) {
    MNFace copy(from);
    std::swap(deg, copy.deg);
    std::swap(vtx, copy.vtx);
    std::swap(edg, copy.edg);
    smGroup = from.smGroup;
    material = from.material;
  }
  return *this;
}

MNFace::~MNFace() {
  releaseArray(vtx);
  releaseArray(edg);
}

void MNFace::SetDeg(int d) { resizeCorners(deg, d, {&vtx, &edg}); }

MNMapFace::MNMapFace(const MNMapFace& from) { copyCorners(deg, from.deg, {&tv}, {from.tv}); }

MNMapFace& MNMapFace::operator=(const MNMapFace& from) {
  if (this != &from) {
    MNMapFace copy(from);
    std::swap(deg, copy.deg);
    std::swap(tv, copy.tv);
  }
  return *this;
}

MNMapFace::~MNMapFace() { releaseArray(tv); }

void MNMapFace::SetSize(int d) { resizeCorners(deg, d, {&tv}); }

MNMap::MNMap(const MNMap& from) {
  std::unique_ptr<UVVert[]> vertices(duplicateArray(from.v, from.numv));
  f = duplicateArray(from.f, from.numf);
  numf = fAlloc = from.numf;
  v = vertices.release();
  numv = vAlloc = from.numv;
}

MNMap& MNMap::operator=(const MNMap& from) {
  if (this != &from) {
    MNMap copy(from);
    std::swap(f, copy.f);
    std::swap(v, copy.v);
    std::swap(numv, copy.numv);
    std::swap(numf, copy.numf);
    std::swap(vAlloc, copy.vAlloc);
    std::swap(fAlloc, copy.fAlloc);
  }
  return *this;
}

MNMap::~MNMap() { ClearAndFree(); }

void MNMap::setNumVerts(int nvnum) { resizeGrowable(v, numv, vAlloc, nvnum); }

void MNMap::setNumFaces(int nfnum) { resizeGrowable(f, numf, fAlloc, nfnum); }

void MNMap::ClearAndFree() {
  releaseArray(v);
  releaseArray(f);
  numv = numf = vAlloc = fAlloc = 0;
}

MNMesh::MNMesh() = default;

MNMesh::MNMesh(const MNMesh& from) { copyFrom(from); }

MNMesh& MNMesh::operator=(const MNMesh& from) {
  if (this != &from) {
    MNMesh copy(from);
    swapWith(copy);
  }
  return *this;
}

MNMesh::~MNMesh() { ClearAndFree(); }

void MNMesh::copyFrom(const MNMesh& from) {
  MNMesh copy;
  copy.v = duplicateArray(from.v, from.numv);
  copy.numv = copy.vAlloc = from.numv;
  copy.e = duplicateArray(from.e, from.nume);
  copy.nume = copy.eAlloc = from.nume;
  copy.f = duplicateArray(from.f, from.numf);
  copy.numf = copy.fAlloc = from.numf;
  for (const auto& map : from.maps) copy.maps.push_back(std::make_unique<MNMap>(*map));
  for (int channel = 0; channel < MAX_EDGEDATA; ++channel) {
    copy.edgeValues[channel] = from.edgeValues[channel];
    copy.edgeSupported[channel] = from.edgeSupported[channel];
  }
  swapWith(copy);
}

void MNMesh::swapWith(MNMesh& other) noexcept {
  std::swap(v, other.v);
  std::swap(e, other.e);
  std::swap(f, other.f);
  std::swap(numv, other.numv);
  std::swap(nume, other.nume);
  std::swap(numf, other.numf);
  std::swap(vAlloc, other.vAlloc);
  std::swap(eAlloc, other.eAlloc);
  std::swap(fAlloc, other.fAlloc);
  maps.swap(other.maps);
  for (int channel = 0; channel < MAX_EDGEDATA; ++channel) {
    edgeValues[channel].swap(other.edgeValues[channel]);
    std::swap(edgeSupported[channel], other.edgeSupported[channel]);
  }
}

void MNMesh::setNumVerts(int nvnum) { resizeGrowable(v, numv, vAlloc, nvnum); }

void MNMesh::setNumEdges(int nenum) {
  if (nenum < 0) return;
  // Storage for the edge values is taken first, so that edges and values change together; it
  // grows with headroom, so that edges appended one split at a time stay linear.
  const std::size_t wanted = static_cast<std::size_t>(nenum);
  for (int channel = 0; channel < MAX_EDGEDATA; ++channel) {
    std::vector<float>& values = edgeValues[channel];
    if (edgeSupported[channel] && values.capacity() < wanted) {
      values.reserve((std::max)(wanted, values.capacity() + values.capacity() / 2));
    }
  }
  resizeGrowable(e, nume, eAlloc, nenum);
  for (int channel = 0; channel < MAX_EDGEDATA; ++channel) {
    if (edgeSupported[channel]) edgeValues[channel].resize(static_cast<std::size_t>(nenum), 0.0f);
  }
}

void MNMesh::setNumFaces(int nfnum) { resizeGrowable(f, numf, fAlloc, nfnum); }

void MNMesh::ClearAndFree() {
  releaseArray(v);
  releaseArray(e);
  releaseArray(f);
  numv = nume = numf = vAlloc = eAlloc = fAlloc = 0;
  maps.clear();
  for (int channel = 0; channel < MAX_EDGEDATA; ++channel) {
    std::vector<float>().swap(edgeValues[channel]);
    edgeSupported[channel] = false;
  }
}

void MNMesh::SetMapNum(int mpnum) {
  if (mpnum < 0) return;
  const std::size_t before = maps.size();
  maps.resize(static_cast<std::size_t>(mpnum));
  for (std::size_t channel = before; channel < maps.size(); ++channel) {
    maps[channel] = std::make_unique<MNMap>();
  }
}

int MNMesh::MNum() const { return static_cast<int>(maps.size()); }

MNMap* MNMesh::M(int mp) const {
  // The host indexes its channel array unchecked; hidden channels below 0 are not modelled here.
  if (mp < 0 || mp >= MNum()) hostscene::stopOnUndefinedUse("MNMesh::M", "map channel outside 0 to MNum() - 1");
  return maps[static_cast<std::size_t>(mp)].get();
}

BOOL MNMesh::eDataSupport(int edChannel) const {
  return edChannel >= 0 && edChannel < MAX_EDGEDATA && edgeSupported[edChannel];
}

void MNMesh::setEDataSupport(int edChannel, BOOL support) {
  if (edChannel < 0 || edChannel >= MAX_EDGEDATA) return;
  if (!support) {
    std::vector<float>().swap(edgeValues[edChannel]);
    edgeSupported[edChannel] = false;
  } else if (!edgeSupported[edChannel]) {
    edgeValues[edChannel].assign(static_cast<std::size_t>(nume), 0.0f);
    edgeSupported[edChannel] = true;
  }
}

void* MNMesh::edgeData(int edChannel) const { return edgeFloat(edChannel); }

float* MNMesh::edgeFloat(int edChannel) const {
  return eDataSupport(edChannel) ? edgeValues[edChannel].data() : nullptr;
}
