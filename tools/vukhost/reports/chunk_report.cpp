#include "chunk_report.h"

#include <chunk_listing.h>
#include <chunk_tags.h>
#include <vuk_mesh.h>

#include <cstring>

#include "import_verdict.h"
#include "wide_text.h"

namespace {

// What a chunk's extra word means, where it means something.
std::string extraNote(const vuk::ChunkInfo& chunk) {
  if (chunk.tag != vuk::kDisplacementMapPathTag) return "";
  float amount = 0.0f;
  std::memcpy(&amount, &chunk.extra, sizeof amount);
  return "  (displacement amount " + std::to_string(amount) + ")";
}

void printChunks(const std::vector<vuk::ChunkInfo>& chunks, std::FILE* out) {
  std::fprintf(out, "%10s  %6s  %-26s %11s %11s %10s\n", "offset", "tag", "carries", "size", "count", "extra");
  for (const vuk::ChunkInfo& chunk : chunks) {
    std::fprintf(out, "%10lld  %6d  %-26s %11d %11d %10u%s\n", static_cast<long long>(chunk.offset), chunk.tag,
                 chunk.name, chunk.size, chunk.count, chunk.extra, extraNote(chunk).c_str());
  }
}

void printText(const char* label, const char* text, std::FILE* out) {
  if (text != nullptr) std::fprintf(out, "  %-20s \"%s\"\n", label, printable(text).c_str());
}

void printRecord(const VukMesh& mesh, std::FILE* out) {
  std::fprintf(out, "Record:\n");
  printText("objectName", mesh.objectName.data(), out);
  printText("secondaryName", mesh.secondaryName.data(), out);
  std::fprintf(out, "  %-20s %d\n", "vertexCount", mesh.vertexCount);
  std::fprintf(out, "  %-20s %d (chunk %d)\n", "faceCount", mesh.faceCount, mesh.faceChunkTag);
  std::fprintf(out, "  %-20s %s\n", "uvs", mesh.uvs ? (mesh.uvChunkTag == vuk::kQuadUvsTag ? "4 corners a face" : "3 corners a face") : "none");
  std::fprintf(out, "  %-20s %s\n", "vertexColors", mesh.vertexColors ? "yes" : "none");
  std::fprintf(out, "  %-20s %s\n", "vertexMask", mesh.vertexMask ? "yes" : "none");
  std::fprintf(out, "  %-20s %s\n", "polygroups", mesh.polygroups ? "yes" : "none");
  std::fprintf(out, "  %-20s %s\n", "faceCreaseFlags", mesh.faceCreaseFlags ? "yes" : "none");
  std::fprintf(out, "  %-20s 0x%08x\n", "formatFlags", mesh.formatFlags);
  printText("texturePath", mesh.texturePath.data(), out);
  printText("normalMapPath", mesh.normalMapPath.data(), out);
  printText("displacementMapPath", mesh.displacementMapPath.data(), out);
  std::fprintf(out, "  %-20s %g\n", "displacementAmount", static_cast<double>(mesh.displacementAmount));
}

}  // namespace

bool printChunkListing(const std::string& path, std::FILE* out) {
  std::string listingVerdict;
  const std::vector<vuk::ChunkInfo> chunks = vuk::listChunks(path.c_str(), &listingVerdict);
  std::fprintf(out, "%s\n", printable(path).c_str());
  if (!chunks.empty()) printChunks(chunks, out);
  VukMesh mesh;
  if (listingVerdict.empty() && mesh.Read(path.c_str()) == 1) printRecord(mesh, out);
  std::string reason;
  if (!importVerdict(path, reason)) {
    std::fprintf(out, "Verdict: refused: %s\n", printable(reason).c_str());
    return false;
  }
  std::fprintf(out, "Verdict: accepted: the importer reads this file to its end chunk and its record holds together\n");
  return true;
}
