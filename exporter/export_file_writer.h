#pragma once
// Writes the export's Vuk file straight from the poly mesh, with no record of the whole file in
// memory. Every chunk's place follows from the counts before a byte is written, so one walk of the
// vertices and one of the faces fill one reused buffer, and each filled part goes to its place in
// the file. The bytes are those of the record's own writer for the same mesh.
#include <cstddef>
#include <string>

#include "geometry_extraction.h"
#include "vuk_mesh.h"

// The buffer that the walks fill: a few MiB, so that the writes are large and the memory small.
constexpr std::size_t kExportBufferBytes = std::size_t{4} << 20;

// Writes the file at exactly `path` (created or truncated): the header, the record's texts and
// format flags (its arrays are not looked at), then the vertices, faces, texture coordinates,
// colours and crease bytes of `geometry`, in the file's chunk order. False when a chunk would be
// too large for the format or a write fails. `bufferBytes` below the size of one face's data
// still walks one face at a time. `reason`, when given, then says why.
bool writeExportFile(const ExportGeometry& geometry, const VukMesh& texts, const char* path,
                     std::size_t bufferBytes = kExportBufferBytes, std::string* reason = nullptr);
