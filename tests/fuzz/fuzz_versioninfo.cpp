// Fuzz target: the version-resource walk (framework/core/versioninfo) on
// arbitrary bytes. Every read must stay inside the buffer (the address
// sanitizer checks that), and what is read must be what the format allows.
#include <cmath>
#include <string>

#include "framework/core/versioninfo.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zv::VersionInfo vi;
  const bool ok = zv::ParseVersionResource(data, size, vi);
  if (!ok) {
    // Not a version block: nothing is filled in.
    FUZZ_CHECK(vi.nVersion == 0 && vi.nRelease == 0 && vi.nBuild == 0);
    FUZZ_CHECK(vi.cVersion.empty() && vi.cDescription.empty() && vi.cCompany.empty());
    FUZZ_CHECK(vi.cCopyright.empty() && vi.cTradeMarks.empty() && vi.cComments.empty());
  }
  // The numbers come from 16-bit words.
  FUZZ_CHECK(vi.nRelease >= 0 && vi.nRelease <= 0xFFFF);
  FUZZ_CHECK(vi.nBuild >= 0 && vi.nBuild <= 0xFFFF);
  FUZZ_CHECK(vi.nVersion >= 0 && vi.nVersion <= 0xFFFF + 0xFFFF * 0.1);
  // A string is read from the buffer: two bytes a character at least.
  for (const std::u16string* s : {&vi.cVersion, &vi.cDescription, &vi.cCompany, &vi.cCopyright,
                                  &vi.cTradeMarks, &vi.cComments})
    FUZZ_CHECK(s->size() * 2 <= size);

  // The leading number of any text, and of the version text found.
  const double n = zv::LeadingNumber(std::string_view(reinterpret_cast<const char*>(data), size));
  FUZZ_CHECK(!std::isnan(n));
  std::string narrow;
  for (char16_t c : vi.cVersion) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  FUZZ_CHECK(!std::isnan(zv::LeadingNumber(narrow)));
  return 0;
}
