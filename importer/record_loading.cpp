#include "record_loading.h"

#include "vuk_file.h"

bool loadRecord(const char* path, VukMesh& record, RecordArrayCounts& counts) {
  return vuk::readVukFile(record, path, nullptr, &counts) == 1;
}
