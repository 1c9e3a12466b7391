// The tablebase directory list: EGTPATH and the NalimovPath option append to it.
#pragma once

namespace orv {

// Cleans a directory text in place: drops one trailing character that is not a
// letter or digit (a quote, a '/'), then one leading character that is neither
// a letter nor a path separator (a quote).
void cleanTablebaseDirectory(char* dir);

// Appends a cleaned directory to the list when it fits (length below 300 minus
// the list's length), with ';' between entries. An empty directory is not
// appended. Returns true when the list changed.
bool appendToPathList(char* list, const char* dir);

// EGTPATH <type> <directory>: for the type NALIMOV appends the directory and
// registers the tablebases again.
void appendTablebasePath(const char* line);

// The directory of a "setoption name NalimovPath [value] <dir>" line.
void applyNalimovPathOption(const char* line);

}  // namespace orv
