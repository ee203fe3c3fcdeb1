// The journal of host calls and the formatting of its lines.
#include "journal.h"

#include <cstdio>
#include <cstdlib>

#include "journal_line.h"
#include "scene_state.h"

void standinJournal(const std::wstring& line) { hostscene::scene().journal.push_back(line); }

namespace hostscene {

void appendArg(std::wstring& line, int value) { line += std::to_wstring(value); }
void appendArg(std::wstring& line, unsigned value) { line += std::to_wstring(value); }
void appendArg(std::wstring& line, bool value) { line += value ? L'1' : L'0'; }

void appendArg(std::wstring& line, float value) {
  char text[32] = {};
  for (int digits = 1; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  for (const char* c = text; *c; ++c) line += static_cast<wchar_t>(*c);
}

void appendArg(std::wstring& line, const wchar_t* value) {
  if (value) line += value;
}

void appendArg(std::wstring& line, const std::wstring& value) { line += value; }

void appendArg(std::wstring& line, const void* handle) {
  line += std::to_wstring(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace hostscene
