// The configuration file "orvalis.cfg" beside the executable, the command-line
// options and the one-shot search of a position file.
#pragma once
#include <cstdio>

namespace orv {

// Applies one line of the configuration file (as read, newline included).
void applyConfigurationLine(const char* line);
// Reads every line of an open configuration file.
void readConfigurationFrom(std::FILE* file);
// Sets the default tablebase path list, then reads "orvalis.cfg" from the
// executable's directory when it exists.
void readConfiguration();

// Reads the configuration, applies the options and allocates the hash tables.
// Returns -1 for a normal start, otherwise the exit code the process ends
// with (0 after a one-shot search, 1 on failure).
int parseCommandLine(int argc, char** argv);

// The -p position file: 0 done, -1 file not opened, -2 bad position.
int readPositionFile(const char* path);

}  // namespace orv
