// Display masks ("pictures") of the grid's cells and editors, portable.
//
// A picture is an optional function part ("@!" upper-cases the result, "@R"
// keeps the template's literal characters in a text) followed by a
// template. For numbers the template's '9' and '#' are digit places, '.' the
// decimal point and ',' a thousands separator shown only between digits;
// a number too wide for its places shows as asterisks. For texts 'X', 'A',
// 'N', '9' and '#' take the next character, '!' takes it upper-cased, and
// any other character is a literal. Other values keep their display form.
#pragma once

#include <string>

#include "runtime/value.h"

namespace zv {

std::string ApplyPicture(const Value& v, const std::string& picture);

}  // namespace zv
