#include "framework/grid/picture_mask.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace zv {
namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string FormatNumber(double d, const std::string& tmpl) {
  const std::size_t dot = tmpl.find('.');
  int decimals = 0, intPlaces = 0;
  for (std::size_t i = 0; i < tmpl.size(); ++i) {
    if (tmpl[i] != '9' && tmpl[i] != '#') continue;
    if (dot != std::string::npos && i > dot) ++decimals;
    else ++intPlaces;
  }
  if (intPlaces + decimals == 0) return tmpl;
  if (!std::isfinite(d)) return std::string(tmpl.size(), '*');
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(d));
  std::string digits(buf);
  std::string intPart = digits.substr(0, digits.find('.'));
  std::string fracPart = decimals ? digits.substr(digits.find('.') + 1) : std::string();
  if (intPart == "0" && decimals) intPart.clear();
  const bool negative = d < 0 && digits.find_first_not_of("0.") != std::string::npos;
  if (static_cast<int>(intPart.size()) + (negative ? 1 : 0) > intPlaces) return std::string(tmpl.size(), '*');
  // Integer places filled from the right.
  const std::size_t intEnd = dot == std::string::npos ? tmpl.size() : dot;
  std::string out(tmpl.size(), ' ');
  int k = static_cast<int>(intPart.size()) - 1;
  bool signDone = !negative;
  for (int i = static_cast<int>(intEnd) - 1; i >= 0; --i) {
    const char t = tmpl[static_cast<std::size_t>(i)];
    if (t == '9' || t == '#') {
      if (k >= 0) out[static_cast<std::size_t>(i)] = intPart[static_cast<std::size_t>(k--)];
      else if (!signDone) out[static_cast<std::size_t>(i)] = '-', signDone = true;
    } else if (t == ',') {
      out[static_cast<std::size_t>(i)] = k >= 0 ? ',' : ' ';
    } else {
      out[static_cast<std::size_t>(i)] = t;
    }
  }
  if (dot != std::string::npos) {
    out[dot] = '.';
    std::size_t f = 0;
    for (std::size_t i = dot + 1; i < tmpl.size(); ++i) {
      const char t = tmpl[i];
      out[i] = (t == '9' || t == '#') ? (f < fracPart.size() ? fracPart[f++] : '0') : t;
    }
  }
  return out;
}

std::string FormatText(const std::string& s, const std::string& tmpl, bool keepLiterals) {
  std::string out;
  std::size_t k = 0;
  for (char t : tmpl) {
    const bool place = t == 'X' || t == 'A' || t == 'N' || t == '9' || t == '#' || t == '!';
    if (!place) {
      out += t;
      if (!keepLiterals && k < s.size()) ++k;  // the literal stands in for the character
      continue;
    }
    if (k >= s.size()) {
      out += ' ';
      continue;
    }
    const char c = s[k++];
    out += t == '!' ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
  }
  return out;
}

}  // namespace

std::string ApplyPicture(const Value& value, const std::string& picture) {
  const Value& v = value.Deref();
  std::string func, tmpl = picture;
  if (!picture.empty() && picture[0] == '@') {
    const std::size_t space = picture.find(' ');
    func = Upper(picture.substr(1, space == std::string::npos ? std::string::npos : space - 1));
    tmpl = space == std::string::npos ? std::string() : picture.substr(space + 1);
  }
  const bool upper = func.find('!') != std::string::npos;
  std::string out;
  if (v.IsNumber() && !tmpl.empty()) {
    out = FormatNumber(v.AsDouble(), tmpl);
  } else if (v.IsString()) {
    out = tmpl.empty() ? v.AsString() : FormatText(v.AsString(), tmpl, func.find('R') != std::string::npos);
  } else if (v.IsLogical()) {
    out = tmpl.find('Y') != std::string::npos ? (v.AsBool() ? "Y" : "N") : (v.AsBool() ? ".T." : ".F.");
  } else if (v.IsNil()) {
    out.clear();
  } else {
    out = v.ToDisplay();
  }
  return upper ? Upper(out) : out;
}

}  // namespace zv
