// orvalis-match: plays games between engine processes and reports every fault.
#include <cstdio>
#include <string>

#include "match.h"
#include "match_options.h"

int main(int argc, char** argv) {
  orv::match::MatchOptions options;
  std::string error;
  if (!orv::match::parseMatchOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "orvalis-match: %s\n%s", error.c_str(), orv::match::matchUsage());
    return 2;
  }
  orv::match::MatchTotals totals = orv::match::runMatch(options);
  orv::match::printTotals(totals);
  return totals.faults() == 0 ? 0 : 1;
}
