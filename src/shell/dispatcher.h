// The command dispatcher: a chain of tests of the xboard and UCI commands in a
// fixed order; the first that matches handles the line.
#pragma once
#include <cstdio>

namespace orv {

enum class DispatchOutcome { Continue, Quit, EndOfInput };

// Handles one normalised line (the buffer may be rewritten, e.g. to "GO").
// Edit mode reads its own lines from `in`.
DispatchOutcome dispatchLine(char* line, std::FILE* in);

}  // namespace orv
