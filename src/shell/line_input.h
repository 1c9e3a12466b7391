// Reading command lines and bringing them to the form the dispatcher compares.
#pragma once
#include <cstdio>

namespace orv {

// Reads one whole line without its newline and one carriage return before it.
// A line of capacity - 1 characters or more is read to its end; the buffer then
// holds its beginning and *cut (when given) is set. Returns false at end of
// input; read errors are cleared and the read retried, and a non-blocking
// stream is waited on.
bool readCommandLine(std::FILE* in, char* buffer, int capacity, bool* cut = nullptr);

// Upper-cases the line except the arguments of SETBOARD, EGTPATH, position,
// setoption, PARTIE (a file name) and option BookFile= (a file name), whose
// command words are rewritten in their canonical case.
void normaliseLine(char* line);

// Case-insensitive test of the first n characters.
bool startsWithNoCase(const char* text, const char* prefix, int n);

// ASCII upper case that leaves bytes outside a..z alone, whatever the sign of char.
inline char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
inline char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

}  // namespace orv
