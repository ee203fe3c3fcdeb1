// The Windows calls that convert text between wide and a code page, and the thread's last error.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "code_page.h"
#include "undefined_use.h"

namespace {

thread_local DWORD lastError = 0;

int fail(DWORD error) {
  lastError = error;
  return 0;
}

// The code page a call names, or 0 for one the stand-in does not have.
unsigned codePageOf(UINT codePage) {
  if (codePage == CP_ACP) return hostscene::ansiCodePage();
  if (codePage == hostscene::kWindows1252 || codePage == hostscene::kUtf8CodePage) return codePage;
  return 0;
}

// Copies `units` into the caller's buffer of `room` units, or answers the size needed when the
// room is 0.
template <typename Unit>
int deliver(const std::basic_string<Unit>& units, Unit* out, int room) {
  if (units.size() > static_cast<std::size_t>(INT32_MAX)) return fail(ERROR_INVALID_PARAMETER);
  const int size = static_cast<int>(units.size());
  if (room == 0) return size;
  if (size > room) return fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(out, units.data(), units.size() * sizeof(Unit));
  return size;
}

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD dwErrCode) { lastError = dwErrCode; }

UINT GetACP() { return hostscene::ansiCodePage(); }

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
  const unsigned codePage = codePageOf(CodePage);
  if (codePage == 0) hostscene::stopOnUndefinedUse("MultiByteToWideChar", "the stand-in has code pages 1252 and 65001 only");
  if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && lpWideCharStr == nullptr)) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  const DWORD allowed = codePage == hostscene::kUtf8CodePage ? MB_ERR_INVALID_CHARS : MB_ERR_INVALID_CHARS | MB_PRECOMPOSED;
  if ((dwFlags & ~allowed) != 0) return fail(ERROR_INVALID_FLAGS);
  const std::size_t length = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  bool exact = true;
  const std::wstring wide = hostscene::decodeCodePage(codePage, lpMultiByteStr, length, exact);
  if (!exact && (dwFlags & MB_ERR_INVALID_CHARS) != 0) return fail(ERROR_NO_UNICODE_TRANSLATION);
  return deliver(wide, lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
  const unsigned codePage = codePageOf(CodePage);
  if (codePage == 0) hostscene::stopOnUndefinedUse("WideCharToMultiByte", "the stand-in has code pages 1252 and 65001 only");
  if (lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && lpMultiByteStr == nullptr)) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  const bool utf8 = codePage == hostscene::kUtf8CodePage;
  if (utf8 && (dwFlags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) return fail(ERROR_INVALID_FLAGS);
  if (utf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) return fail(ERROR_INVALID_PARAMETER);
  if (!utf8 && (dwFlags & WC_ERR_INVALID_CHARS) != 0) return fail(ERROR_INVALID_FLAGS);
  if (!utf8 && (dwFlags & WC_NO_BEST_FIT_CHARS) == 0) {
    hostscene::stopOnUndefinedUse("WideCharToMultiByte", "best-fit mapping is not modelled; pass WC_NO_BEST_FIT_CHARS");
  }
  const std::size_t length = cchWideChar == -1 ? std::wcslen(lpWideCharStr) + 1 : static_cast<std::size_t>(cchWideChar);
  bool exact = true;
  const char defaultChar = lpDefaultChar != nullptr ? *lpDefaultChar : '?';
  const std::string bytes = hostscene::encodeCodePage(codePage, lpWideCharStr, length, defaultChar, exact);
  if (utf8 && !exact && (dwFlags & WC_ERR_INVALID_CHARS) != 0) return fail(ERROR_NO_UNICODE_TRANSLATION);
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = exact ? FALSE : TRUE;
  return deliver(bytes, lpMultiByteStr, cbMultiByte);
}
