#pragma once
// Formats one journal line: the call's name, then each argument after a blank.
#include <cstdint>
#include <string>

#include <matrix3.h>
#include <strbasic.h>

#include "journal.h"

namespace hostscene {

void appendArg(std::wstring& line, int value);
void appendArg(std::wstring& line, unsigned value);
void appendArg(std::wstring& line, bool value);
void appendArg(std::wstring& line, float value);   // shortest text that reads back the same float
void appendArg(std::wstring& line, const wchar_t* value);  // null as the empty text
void appendArg(std::wstring& line, const std::wstring& value);
void appendArg(std::wstring& line, const void* handle);     // the address in decimal

template <typename... Args>
void journalCall(const wchar_t* call, const Args&... args) {
  std::wstring line(call);
  ((line += L' ', appendArg(line, args)), ...);
  standinJournal(line);
}

}  // namespace hostscene
