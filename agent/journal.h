// The journal: when the environment variable AGENT_JOURNAL names a file,
// every call the server receives through IDispatch::Invoke is appended to it
// as one UTF-8 line:
//
//   <object>.<Member> <kind> [<argument>, <argument> ...] [=> <outcome>]
//
// e.g. `Merlin.MoveTo method 365, 350, 1000`. See docs/agent.md.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

namespace agent {

// Writes one line for a call, when the journal is on.
void RecordCall(const std::wstring& object, const std::wstring& member, WORD flags, const DISPPARAMS& params,
                HRESULT hr, const std::wstring& description);

// The journal text of a value and of a call kind (exposed for the tests of
// the format through the journal itself).
std::wstring FormatVariant(const VARIANT& v);
std::wstring FormatFlags(WORD flags);

}  // namespace agent
