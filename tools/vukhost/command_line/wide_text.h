#pragma once
// Texts between the command line, the host's wide strings and UTF-8 reports.
#include <optional>
#include <string>

// Switches the C library to the user's locale, as a host runs in it; when the environment gives
// only the plain C locale, C.UTF-8 instead, so that names outside ASCII still convert.
void useUserLocale();

// A command-line argument (the locale's multibyte text) as a wide string; nothing when it does
// not convert in the current locale.
std::optional<std::wstring> widenArgument(const std::string& argument);

// A wide string as UTF-8, whatever the locale; characters that are not Unicode scalar values
// become U+FFFD.
std::string toUtf8(const std::wstring& text);
std::string toUtf8(const wchar_t* text);

// UTF-8 as a wide string; malformed bytes become U+FFFD.
std::wstring fromUtf8(const std::string& text);

// A UTF-8 text from a file made safe for a terminal: control characters (C0, DEL and C1) are
// shown as \xNN; everything else is kept.
std::string printable(const std::string& text);
