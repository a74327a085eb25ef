// Splitting a command line into arguments (portable).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zv {

// Arguments are separated by runs of blanks (spaces and tabs). A double
// quote at the start of an argument opens a quoted argument, which may hold
// blanks and ends at the next double quote followed by a blank or the end of
// the line; neither quote belongs to the argument. An unclosed quote runs to
// the end of the line; "" is an empty argument.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The part of a full process command line after the program's path (quoted
// or not), as GetCommandLine returns it.
std::string_view SkipProgramPath(std::string_view fullLine);

}  // namespace zv
