#pragma once
// Whether the importer accepts a file, and why not, in one line. The importer module can only
// answer 0; vukhost runs the same reader and record check as the module to say why.
#include <string>

// True when the reader reads the file to its end chunk and its record holds together; else
// false with `reason` saying which chunk, array, face or corner is at fault.
bool importVerdict(const std::string& path, std::string& reason);

// What to say when the module refused a file: the reason above, or, when the file passes the
// check, that the module refused it for its own cause.
std::string refusalReason(const std::string& path);
