#include "export_failure.h"

#include <filesystem>
#include <system_error>

#include "file_transaction.h"
#include "source_image.h"

std::string exportFailureReason(const PolyMeshData& mesh, const std::string& vukPath) {
  const std::pair<const char*, const std::string*> maps[] = {
      {"diffuse", &mesh.diffuseMap}, {"bump", &mesh.bumpMap}, {"displacement", &mesh.displacementMap}};
  for (const auto& [slot, path] : maps) {
    std::string reason;
    if (!path->empty() && !readSourceImage(*path, &reason))
      return std::string("the exporter cannot read the ") + slot + " map " + *path + ": " + reason;
  }
  // Staged and abandoned: the temporary goes again at once and nothing is replaced.
  vuk::FileTransaction probe;
  if (!probe.stage(vukPath)) return "the exporter cannot write " + vukPath + ": " + probe.failure();
  std::error_code error;
  if (std::filesystem::is_directory(vuk::resolveLinks(vukPath), error))
    return "the exporter cannot replace " + vukPath + ": it is a folder";
  return "the export of " + vukPath + " failed while its files were written (a full disk, or a map's TIFF name taken)";
}
