// Reading a program's version resource. Portable: the walk works on bytes,
// so damaged or hostile resources can be tested anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zv {

struct VersionInfo {
  double nVersion = 0;  // file version: major + minor * 0.1
  long long nRelease = 0;
  long long nBuild = 0;
  std::u16string cVersion, cDescription, cCompany, cCopyright, cTradeMarks, cComments;
};

// Fills `out` from the bytes of an RT_VERSION resource. Every step is checked
// against `size`: a truncated, malformed or hostile resource leaves whatever
// could not be read at its default and never reads outside the buffer.
// Returns false when the resource is not a "VS_VERSION_INFO" block.
bool ParseVersionResource(const std::uint8_t* data, std::size_t size, VersionInfo& out);

// The numeric value of the leading number of a text ("2.5.0.1" -> 2.5,
// "1.0.0.0" -> 1.0, "" -> 0): digits with at most one decimal point.
double LeadingNumber(std::string_view text);

}  // namespace zv
