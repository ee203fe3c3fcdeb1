#pragma once
// Inputs are checked by vukhost before any module or reader sees them, so that a missing file or
// a folder is reported as such, in one line, with the input's own exit status.
#include <string>

// Why `path` cannot be read as an input file ("cannot read P: it is a folder, not a file", "cannot
// read P: No such file or directory"); empty when it opens for reading.
std::string unreadableInput(const std::string& path);
