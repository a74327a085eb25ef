// Localised texts: the framework's user-visible strings, looked up by number
// in the executable's string tables (one table per language), with numbered
// placeholders filled in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace zv {

// The text of nId in the current language, falling back to English; "" when
// neither has it (nor for an identifier above 65535). Each "%d" whose digit d is between 1 and the number of
// arguments is replaced by argument d. Only one digit is read, and any other
// "%" is kept as it is. Without arguments the text is returned unchanged.
// Texts are in the ANSI code page.
std::string LT(unsigned nId);
std::string LT(unsigned nId, std::span<const std::string> args);
std::string LT(unsigned nId, std::initializer_list<std::string_view> args);

// The same, with every menu-mnemonic "&" removed (the character after it is kept).
std::string LTStripped(unsigned nId, std::initializer_list<std::string_view> args = {});

// The current language (a Windows primary language id). It is 0 until the
// first lookup, which sets it from the thread locale.
std::uint16_t CurrentLanguage();
// Replaces the current language and returns the previous one. A full
// language id (with a sub-language) is taken by its primary language.
std::uint16_t CurrentLanguage(std::uint16_t nNewLanguage);
// The system's primary language id (of the thread locale).
std::uint16_t SystemLanguage();

// Primary language ids of the languages the framework's tables carry.
enum : std::uint16_t {
  kLangCatalan = 3, kLangGerman = 7, kLangEnglish = 9, kLangSpanish = 10,
  kLangFrench = 12, kLangItalian = 16, kLangPortuguese = 22, kLangBasque = 45,
  kLangGalician = 86
};

// Placeholder substitution alone (portable; used by LT).
std::string SubstituteArgs(std::string_view text, std::span<const std::string_view> args);

}  // namespace zv
