// Text from a command line or a script, quoted for an error line: whatever
// the user typed, the message stays one short line of plain characters.
#pragma once

#include <string>
#include <string_view>

// 'text' in single quotes; bytes outside printable ASCII as \xNN, and text
// past `limit` characters cut and marked with "...".
std::string quoted(std::string_view text, std::size_t limit = 40);
