#pragma once
// `vukhost info`: the chunks of a Vuk file, one line each, then what the file holds and a
// one-line verdict on whether the importer accepts it: the importer's own reader and record check.
#include <cstdio>
#include <string>

// Answers true when the importer accepts the file.
bool printChunkListing(const std::string& path, std::FILE* out);
