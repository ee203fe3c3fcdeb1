#pragma once
// `vukhost info`: the chunks of a Vuk file, one line each, then what the file holds and a
// one-line verdict on whether the importer's reader accepts it.
#include <cstdio>
#include <string>

// Answers true when the reader accepts the file.
bool printChunkListing(const std::string& path, std::FILE* out);
