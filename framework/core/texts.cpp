// Lookup of the framework's string tables in the executable's resources.
#include "texts.h"

#include <windows.h>

#include <vector>

namespace zv {
namespace {

std::uint16_t g_language = 0;  // 0: not yet chosen

// The UTF-16 text of nId in one language, or an empty view. A string-table
// block holds 16 counted strings; every length is checked against the size of
// the resource, so a damaged table is read as "absent", never past its end.
std::wstring_view FindString(unsigned nId, std::uint16_t lang) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */,
                              MAKEINTRESOURCEW((nId >> 4) + 1),
                              MAKELANGID(lang, SUBLANG_NEUTRAL));
  if (!res) return {};
  HGLOBAL mem = LoadResource(module, res);
  const auto* words = static_cast<const WCHAR*>(mem ? LockResource(mem) : nullptr);
  if (!words) return {};
  const std::size_t count = SizeofResource(module, res) / sizeof(WCHAR);
  std::size_t pos = 0;
  for (unsigned i = 0; i < (nId & 15); ++i) {
    if (pos >= count) return {};
    pos += 1 + words[pos];
  }
  if (pos >= count) return {};
  const std::size_t len = words[pos];
  if (len == 0 || len > count - pos - 1) return {};
  return {words + pos + 1, len};
}

std::string ToAnsi(std::wstring_view w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Lookup(unsigned nId) {
  // String tables hold 16-bit identifiers: a larger one has no text (it must
  // not wrap round to the block of its low 16 bits).
  if (nId > 0xFFFF) return {};
  std::uint16_t lang = CurrentLanguage();
  std::wstring_view w = FindString(nId, lang);
  if (w.empty() && lang != kLangEnglish) w = FindString(nId, kLangEnglish);
  return ToAnsi(w);
}

}  // namespace

std::uint16_t SystemLanguage() { return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())); }

std::uint16_t CurrentLanguage() {
  if (g_language == 0) g_language = SystemLanguage();
  return g_language;
}

std::uint16_t CurrentLanguage(std::uint16_t nNewLanguage) {
  std::uint16_t previous = CurrentLanguage();
  // A full language id (0x040C, French of France) names its primary language.
  g_language = PRIMARYLANGID(nNewLanguage);
  return previous;
}

std::string LT(unsigned nId) { return Lookup(nId); }

std::string LT(unsigned nId, std::span<const std::string> args) {
  std::string text = Lookup(nId);
  if (args.empty()) return text;
  std::vector<std::string_view> views(args.begin(), args.end());
  return SubstituteArgs(text, views);
}

std::string LT(unsigned nId, std::initializer_list<std::string_view> args) {
  std::string text = Lookup(nId);
  if (args.size() == 0) return text;
  return SubstituteArgs(text, std::span<const std::string_view>(args.begin(), args.size()));
}

std::string LTStripped(unsigned nId, std::initializer_list<std::string_view> args) {
  std::string text = LT(nId, args);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size()) out.push_back(text[++i]);  // "&&" keeps one "&"
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace zv
