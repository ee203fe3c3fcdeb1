#pragma once
// Reads a Vuk file into a record and tells how many values each array received, so that the
// arrays can be checked against the record's counts before anything indexes them.
#include "vuk_file.h"
#include "vuk_mesh.h"

// How many values each array received from the file, as the reader reports it.
using RecordArrayCounts = vuk::VukArrayLengths;

// Answers false when the file cannot be opened or read, or the reader refuses it.
bool loadRecord(const char* path, VukMesh& record, RecordArrayCounts& counts);
