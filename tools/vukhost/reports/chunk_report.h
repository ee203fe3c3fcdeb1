#pragma once
// `vukhost info`: the chunks of a Vuk file, what its record holds, and whether the importer
// accepts it: the importer's own reader and record check, run on the file.
#include <chunk_listing.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// What the record read from the file holds; texts UTF-8 as the file has them, absent when the
// file has none.
struct RecordSummary {
  std::optional<std::string> objectName, secondaryName, texturePath, normalMapPath, displacementMapPath;
  int vertexCount = 0, faceCount = 0, faceChunkTag = 0, uvChunkTag = 0;
  bool uvs = false, vertexColors = false, vertexMask = false, polygroups = false, faceCreaseFlags = false;
  unsigned formatFlags = 0;
  float displacementAmount = 1.0f;
};

struct ChunkReport {
  std::string file;
  std::vector<vuk::ChunkInfo> chunks;   // up to the end chunk, or to the chunk the reader refuses
  std::optional<RecordSummary> record;  // when the reader reads the file
  bool accepted = false;                // the importer reads the file and its record holds together
  std::string verdict;                  // why not, one line; empty when accepted
};

ChunkReport chunkReport(const std::string& path);
// The listing, the record and a last line "Verdict: accepted: ..." or "Verdict: refused: <why>".
void printChunkReport(const ChunkReport& report, std::FILE* out);
// The keys of `info --json`: "file", "chunks", "record", "accepted", "verdict".
nlohmann::json chunkReportJson(const ChunkReport& report);
