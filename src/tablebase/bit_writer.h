// Most-significant-bit-first writer into a byte vector, the counterpart of BitReader.
#pragma once
#include <cstdint>
#include <vector>

namespace orv::tb {

class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}

  // Appends the low n (0..32) bits of value, most significant first.
  void write(uint32_t value, int n) {
    if (n == 0) return;
    acc_ = (acc_ << n) | (value & (0xFFFFFFFFu >> (32 - n)));
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      out_->push_back(uint8_t(acc_ >> count_));
    }
  }

  // Pads with zero bits to the next byte boundary.
  void flush() {
    if (count_ > 0) write(0, 8 - count_);
  }

  uint64_t bitCount() const { return uint64_t(out_->size()) * 8 + uint64_t(count_); }

 private:
  std::vector<uint8_t>* out_;
  uint64_t acc_ = 0;
  int count_ = 0;  // bits in acc_ not yet written out (0..7 between calls)
};

}  // namespace orv::tb
