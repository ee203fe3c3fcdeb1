// One size of bench/export-vs-floor: the exporter module's DoExport on a stand-in torus sculpt of
// about QUADS quads, beside the plain floor (one read pass over the poly mesh, then one write() of
// the same bytes) and the durable floor (the same pass, then the bytes into a temporary beside the
// target, fsync, rename, fsync of the folder), RUNS times each, interleaved; before each run its
// target is removed and everything written so far is synced, untimed. Prints one line:
//   quads export_s plain_s durable_s export/plain export/durable ns_per_quad extra_MiB mesh_MiB
// with medians, and fails (exit 1) when the export's bytes differ from the floor's. The floor's
// bytes come from the record's own writer (the export as it was before it was streamed).
//   export_timing QUADS RUNS FOLDER
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <impexp.h>
#include <iparamb2.h>
#include <polyobj.h>

#include "machine_floors.h"
#include "reference_export.h"
#include "standin/scene.h"
#include "torus_sculpt.h"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Resident memory now, in bytes.
double residentBytes() {
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(statm);
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Starts the process's peak of resident memory again from what is resident now.
void resetPeak() {
  std::FILE* clear = std::fopen("/proc/self/clear_refs", "w");
  if (clear == nullptr) return;
  std::fputs("5", clear);
  std::fclose(clear);
}

// The process's peak of resident memory since the last resetPeak(), in bytes.
double peakBytes() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  double kib = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atof(line + 6);
  }
  std::fclose(status);
  return kib * 1024.0;
}

// The torus sculpt as a host poly mesh: quads, texture coordinates with a seam (channel 1), a
// colour per vertex (channel 0) and one creased ring of edges.
void buildTorus(MNMesh& poly, vuktest::TorusSize size) {
  const int rings = size.rings, segments = size.segments;
  poly.setNumVerts(rings * segments);
  const double twoPi = 6.283185307179586;
  for (int i = 0; i < rings; ++i) {
    const double tube = twoPi * i / rings;
    for (int j = 0; j < segments; ++j) {
      const double around = twoPi * j / segments;
      const double r = 0.35 + 0.02 * std::sin(7.0 * around) * std::cos(5.0 * tube);
      const double ring = 1.0 + r * std::cos(tube);
      poly.v[i * segments + j].p = Point3(float(ring * std::cos(around)), float(ring * std::sin(around)), float(r * std::sin(tube)));
    }
  }
  poly.setNumFaces(rings * segments);
  for (int i = 0; i < rings; ++i) {
    for (int j = 0; j < segments; ++j) {
      MNFace& face = poly.f[i * segments + j];
      face.SetDeg(4);
      const int next_i = (i + 1) % rings, next_j = (j + 1) % segments;
      const int corners[4] = {i * segments + j, i * segments + next_j, next_i * segments + next_j, next_i * segments + j};
      for (int k = 0; k < 4; ++k) face.vtx[k] = corners[k];
    }
  }
  poly.FillInMesh();
  poly.SetMapNum(2);
  MNMap* colours = poly.M(0);
  colours->setNumVerts(poly.numv);
  for (int v = 0; v < poly.numv; ++v) colours->v[v] = Point3((v % 255) / 255.0f, ((v / 255) % 255) / 255.0f, 0.5f);
  MNMap* uvs = poly.M(1);
  uvs->setNumVerts((rings + 1) * (segments + 1));
  for (int i = 0; i <= rings; ++i) {
    for (int j = 0; j <= segments; ++j) uvs->v[i * (segments + 1) + j] = Point3(float(j) / segments, float(i) / rings, 0.0f);
  }
  uvs->setNumFaces(poly.numf);
  for (int i = 0; i < rings; ++i) {
    for (int j = 0; j < segments; ++j) {
      MNMapFace& face = uvs->f[i * segments + j];
      face.SetSize(4);
      const int corners[4] = {i * (segments + 1) + j, i * (segments + 1) + j + 1, (i + 1) * (segments + 1) + j + 1,
                              (i + 1) * (segments + 1) + j};
      for (int k = 0; k < 4; ++k) face.tv[k] = corners[k];
    }
  }
  poly.setEDataSupport(EDATA_CREASE);
  float* crease = poly.edgeFloat(EDATA_CREASE);
  const int creasedRing = rings / 2;
  for (int e = 0; e < poly.nume; ++e) {
    if (poly.e[e].v1 / segments == creasedRing && poly.e[e].v2 / segments == creasedRing) crease[e] = 1.0f;
  }
}

// The floors' read pass: every value of the poly mesh that the export reads, once.
double readPass(const MNMesh& poly) {
  double sum = 0;
  for (int v = 0; v < poly.numv; ++v) sum += poly.v[v].p.x + poly.v[v].p.y + poly.v[v].p.z;
  const MNMap* colours = poly.M(0);
  for (int v = 0; v < colours->numv; ++v) sum += colours->v[v].x + colours->v[v].y + colours->v[v].z;
  const MNMap* uvs = poly.M(1);
  const float* crease = poly.edgeFloat(EDATA_CREASE);
  for (int f = 0; f < poly.numf; ++f) {
    const MNFace& face = poly.f[f];
    const MNMapFace& mapFace = uvs->f[f];
    for (int k = 0; k < face.deg; ++k) {
      sum += face.vtx[k] + crease[face.edg[k]];
      sum += uvs->v[mapFace.tv[k]].x + uvs->v[mapFace.tv[k]].y;
    }
  }
  return sum;
}

bool writeAll(int fd, const std::vector<unsigned char>& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool plainFloor(const MNMesh& poly, const std::vector<unsigned char>& bytes, const std::string& path) {
  volatile double sink = readPass(poly);
  static_cast<void>(sink);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = writeAll(fd, bytes);
  return ::close(fd) == 0 && ok;
}

bool durableFloor(const MNMesh& poly, const std::vector<unsigned char>& bytes, const std::string& folder) {
  volatile double sink = readPass(poly);
  static_cast<void>(sink);
  if (!floors::atomicReplace(folder + "/durable.vuk", {{bytes.data(), bytes.size()}})) return false;
  const int dir = ::open(folder.c_str(), O_RDONLY);
  if (dir < 0) return false;
  const bool synced = ::fsync(dir) == 0;
  return ::close(dir) == 0 && synced;
}

std::vector<unsigned char> fileBytes(const std::string& path) {
  const auto [block, size] = floors::readWholeFile(path.c_str());
  return block ? std::vector<unsigned char>(block.get(), block.get() + size) : std::vector<unsigned char>();
}

// Before each timed run, untimed: the run's target is removed and everything written so far is
// put on disk, so that no run replaces a file or pays for the writes and deletions of another.
void settle(const std::string& target) {
  ::unlink(target.c_str());
  ::sync();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[(values.size() - 1) / 2];
}

struct Exporter {
  void* module = nullptr;
  SceneExport* object = nullptr;
};

Exporter loadExporter() {
  Exporter exporter;
  exporter.module = dlopen(VUK_EXPORTER_MODULE, RTLD_NOW | RTLD_LOCAL);
  if (exporter.module == nullptr) return exporter;
  auto classDesc = reinterpret_cast<ClassDesc* (*)(int)>(dlsym(exporter.module, "LibClassDesc"));
  ClassDesc* descriptor = classDesc != nullptr ? classDesc(0) : nullptr;
  if (descriptor != nullptr) exporter.object = static_cast<SceneExport*>(descriptor->Create(FALSE));
  return exporter;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: export_timing QUADS RUNS FOLDER\n");
    return 2;
  }
  const vuktest::TorusSize size = vuktest::torusOfQuads(std::atoll(argv[1]));
  const int runs = (std::max)(1, std::atoi(argv[2]));
  const std::string folder = argv[3];
  Exporter exporter = loadExporter();
  if (exporter.object == nullptr) {
    std::fprintf(stderr, "export_timing: cannot load %s\n", VUK_EXPORTER_MODULE);
    return 2;
  }
  const double before = residentBytes();
  PolyObject* object = standin::newPolyObject(L"TorusSculpt");
  buildTorus(object->GetMesh(), size);
  INode* node = standin::addNode(L"Torus", object);
  standin::selectNodes({node});
  const double meshBytes = residentBytes() - before;
  const MNMesh& poly = object->GetMesh();

  // The floor's bytes: the same mesh through the record and its writer.
  std::vector<unsigned char> expected;
  {
    VukMesh texts;
    texts.objectName = recordText("TorusSculpt");
    const std::string path = folder + "/reference.vuk";
    if (!reference::writeReferenceFile(exportGeometryOf(object->GetMesh(), node->GetObjectTM(0)), texts, path)) {
      std::fprintf(stderr, "export_timing: cannot write the reference file\n");
      return 2;
    }
    expected = fileBytes(path);
    ::unlink(path.c_str());
  }

  const std::string target = folder + "/export.vuk";
  const std::wstring name(target.begin(), target.end());
  ExpInterface exportInterface{};
  std::vector<double> exportTimes, plainTimes, durableTimes;
  double extraPeak = 0;
  const bool exportOnly = std::getenv("EXPORT_ONLY") != nullptr;  // for profiling the export alone
  for (int run = 0; run < runs; ++run) {
    if (exportOnly) {
      exporter.object->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), TRUE, 0);
      continue;
    }
    settle(folder + "/plain.vuk");
    Clock::time_point start = Clock::now();
    if (!plainFloor(poly, expected, folder + "/plain.vuk")) return 2;
    plainTimes.push_back(secondsSince(start));
    settle(folder + "/durable.vuk");
    start = Clock::now();
    if (!durableFloor(poly, expected, folder)) return 2;
    durableTimes.push_back(secondsSince(start));
    settle(target);
    const double resident = residentBytes();
    if (run == 0) resetPeak();
    start = Clock::now();
    const int answer = exporter.object->DoExport(name.c_str(), &exportInterface, standin::coreInterface(), TRUE, 0);
    exportTimes.push_back(secondsSince(start));
    if (run == 0) extraPeak = peakBytes() - resident;
    if (answer != IMPEXP_SUCCESS || fileBytes(target) != expected) {
      std::fprintf(stderr, "export_timing: the export's bytes differ from the floor's at %lld quads\n",
                   static_cast<long long>(size.quads()));
      return 1;
    }
  }
  if (exportOnly) return 0;
  if (std::getenv("VERBOSE") != nullptr) {
    for (int run = 0; run < runs; ++run) {
      std::fprintf(stderr, "run %d: plain %.4f durable %.4f export %.4f\n", run, plainTimes[run], durableTimes[run],
                   exportTimes[run]);
    }
  }
  const double e = median(exportTimes), p = median(plainTimes), d = median(durableTimes);
  std::printf("%lld %.4f %.4f %.4f %.3f %.3f %.2f %.1f %.1f\n", static_cast<long long>(size.quads()), e, p, d, e / p,
              e / d, e * 1e9 / static_cast<double>(size.quads()), extraPeak / 1048576.0, meshBytes / 1048576.0);
  for (const char* leftover : {"/plain.vuk", "/durable.vuk", "/export.vuk"}) ::unlink((folder + leftover).c_str());
  return 0;
}
