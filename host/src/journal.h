#pragma once
#include <string>

// Appends one line to the stand-in's log of host calls.
void standinJournal(const std::wstring& line);
