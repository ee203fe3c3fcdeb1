#include "import_verdict.h"

#include <record_check.h>
#include <vuk_mesh.h>

bool importVerdict(const std::string& path, std::string& reason) {
  VukMesh record;
  reason.clear();
  return vuk::readCheckedRecord(path.c_str(), record, &reason);
}

std::string refusalReason(const std::string& path) {
  std::string reason;
  if (!importVerdict(path, reason)) return reason;
  return "the importer answered 0 though the file reads and its record holds together";
}
