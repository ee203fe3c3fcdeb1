#include "chunk_report.h"

#include <chunk_tags.h>
#include <record_check.h>
#include <vuk_mesh.h>

#include <cstring>

#include "wide_text.h"

namespace {

float displacementAmountOf(const vuk::ChunkInfo& chunk) {
  float amount = 0.0f;
  std::memcpy(&amount, &chunk.extra, sizeof amount);
  return amount;
}

// What a chunk's extra word means, where it means something.
std::string extraNote(const vuk::ChunkInfo& chunk) {
  if (chunk.tag != vuk::kDisplacementMapPathTag) return "";
  return "  (displacement amount " + std::to_string(displacementAmountOf(chunk)) + ")";
}

void printChunks(const std::vector<vuk::ChunkInfo>& chunks, std::FILE* out) {
  std::fprintf(out, "%10s  %6s  %-26s %11s %11s %10s\n", "offset", "tag", "carries", "size", "count", "extra");
  for (const vuk::ChunkInfo& chunk : chunks) {
    std::fprintf(out, "%10lld  %6d  %-26s %11d %11d %10u%s\n", static_cast<long long>(chunk.offset), chunk.tag,
                 chunk.name, chunk.size, chunk.count, chunk.extra, extraNote(chunk).c_str());
  }
}

std::optional<std::string> text(const RecordText& value) {
  if (!value) return std::nullopt;
  return std::string(value.data());
}

RecordSummary summaryOf(const VukMesh& mesh) {
  RecordSummary record;
  record.objectName = text(mesh.objectName);
  record.secondaryName = text(mesh.secondaryName);
  record.texturePath = text(mesh.texturePath);
  record.normalMapPath = text(mesh.normalMapPath);
  record.displacementMapPath = text(mesh.displacementMapPath);
  record.vertexCount = mesh.vertexCount;
  record.faceCount = mesh.faceCount;
  record.faceChunkTag = mesh.faceChunkTag;
  record.uvChunkTag = mesh.uvChunkTag;
  record.uvs = static_cast<bool>(mesh.uvs);
  record.vertexColors = static_cast<bool>(mesh.vertexColors);
  record.vertexMask = static_cast<bool>(mesh.vertexMask);
  record.polygroups = static_cast<bool>(mesh.polygroups);
  record.faceCreaseFlags = static_cast<bool>(mesh.faceCreaseFlags);
  record.formatFlags = mesh.formatFlags;
  record.displacementAmount = mesh.displacementAmount;
  return record;
}

void printText(const char* label, const std::optional<std::string>& value, std::FILE* out) {
  if (value) std::fprintf(out, "  %-20s \"%s\"\n", label, printable(*value).c_str());
}

const char* uvLayout(const RecordSummary& record) {
  if (!record.uvs) return "none";
  return record.uvChunkTag == vuk::kQuadUvsTag ? "4 corners a face" : "3 corners a face";
}

void printRecord(const RecordSummary& record, std::FILE* out) {
  const auto yesNo = [](bool present) { return present ? "yes" : "none"; };
  std::fprintf(out, "Record:\n");
  printText("objectName", record.objectName, out);
  printText("secondaryName", record.secondaryName, out);
  std::fprintf(out, "  %-20s %d\n", "vertexCount", record.vertexCount);
  std::fprintf(out, "  %-20s %d (chunk %d)\n", "faceCount", record.faceCount, record.faceChunkTag);
  std::fprintf(out, "  %-20s %s\n", "uvs", uvLayout(record));
  std::fprintf(out, "  %-20s %s\n", "vertexColors", yesNo(record.vertexColors));
  std::fprintf(out, "  %-20s %s\n", "vertexMask", yesNo(record.vertexMask));
  std::fprintf(out, "  %-20s %s\n", "polygroups", yesNo(record.polygroups));
  std::fprintf(out, "  %-20s %s\n", "faceCreaseFlags", yesNo(record.faceCreaseFlags));
  std::fprintf(out, "  %-20s 0x%08x\n", "formatFlags", record.formatFlags);
  printText("texturePath", record.texturePath, out);
  printText("normalMapPath", record.normalMapPath, out);
  printText("displacementMapPath", record.displacementMapPath, out);
  std::fprintf(out, "  %-20s %g\n", "displacementAmount", static_cast<double>(record.displacementAmount));
}

nlohmann::json optionalText(const std::optional<std::string>& value) {
  return value ? nlohmann::json(*value) : nlohmann::json();
}

nlohmann::json recordJson(const RecordSummary& record) {
  return {{"objectName", optionalText(record.objectName)},
          {"secondaryName", optionalText(record.secondaryName)},
          {"vertexCount", record.vertexCount},
          {"faceCount", record.faceCount},
          {"faceChunkTag", record.faceChunkTag},
          {"uvChunkTag", record.uvs ? nlohmann::json(record.uvChunkTag) : nlohmann::json()},
          {"vertexColors", record.vertexColors},
          {"vertexMask", record.vertexMask},
          {"polygroups", record.polygroups},
          {"faceCreaseFlags", record.faceCreaseFlags},
          {"formatFlags", record.formatFlags},
          {"texturePath", optionalText(record.texturePath)},
          {"normalMapPath", optionalText(record.normalMapPath)},
          {"displacementMapPath", optionalText(record.displacementMapPath)},
          {"displacementAmount", record.displacementAmount}};
}

}  // namespace

ChunkReport chunkReport(const std::string& path) {
  ChunkReport report;
  report.file = path;
  std::string listingVerdict;
  report.chunks = vuk::listChunks(path.c_str(), &listingVerdict);
  VukMesh mesh;
  if (listingVerdict.empty() && mesh.Read(path.c_str()) == 1) report.record = summaryOf(mesh);
  VukMesh checked;
  report.accepted = vuk::readCheckedRecord(path.c_str(), checked, &report.verdict);
  return report;
}

void printChunkReport(const ChunkReport& report, std::FILE* out) {
  std::fprintf(out, "%s\n", printable(report.file).c_str());
  if (!report.chunks.empty()) printChunks(report.chunks, out);
  if (report.record) printRecord(*report.record, out);
  if (report.accepted) {
    std::fprintf(out, "Verdict: accepted: the importer reads this file to its end chunk and its record holds together\n");
  } else {
    std::fprintf(out, "Verdict: refused: %s\n", printable(report.verdict).c_str());
  }
}

nlohmann::json chunkReportJson(const ChunkReport& report) {
  nlohmann::json chunks = nlohmann::json::array();
  for (const vuk::ChunkInfo& chunk : report.chunks) {
    nlohmann::json entry = {{"offset", chunk.offset}, {"tag", chunk.tag},     {"carries", chunk.name},
                            {"size", chunk.size},     {"count", chunk.count}, {"extra", chunk.extra}};
    if (chunk.tag == vuk::kDisplacementMapPathTag) entry["displacementAmount"] = displacementAmountOf(chunk);
    chunks.push_back(std::move(entry));
  }
  return {{"file", report.file},
          {"chunks", std::move(chunks)},
          {"record", report.record ? recordJson(*report.record) : nlohmann::json()},
          {"accepted", report.accepted},
          {"verdict", report.accepted ? nlohmann::json() : nlohmann::json(report.verdict)}};
}
