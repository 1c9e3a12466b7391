// The book record reader: the first line is the key looked up, the rest the book file.
#include <cstdio>

#include "board/game.h"
#include "book/book.h"
#include "fuzz/fuzz_input.h"

using namespace orv;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::silenceStandardOutput();  // an over-long key is reported there
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text = fuzz::asText(data, size);
  const size_t newline = text.find('\n');
  const std::string key = newline == std::string::npos ? text : text.substr(0, newline);
  const size_t bookStart = newline == std::string::npos ? size : newline + 1;
  std::FILE* file = fuzz::memoryFile(data + bookStart, size - bookStart);
  if (!file) return 0;
  newGame();
  BookRecord record;
  if (findBookRecord(file, key.c_str(), record) == 1) chooseBookMove(record);
  // A second scan starts from the beginning again, wherever the first one stopped.
  findBookRecord(file, key.c_str(), record);
  std::fclose(file);
  return 0;
}
