// Most-significant-bit-first reader over a bounded byte range, as the
// compressed table files store their bit fields and blocks. It keeps a 32-bit
// window loaded from the first four bytes and refills it 16 bits at a time
// from big-endian 16-bit units. Bytes past the end read as zero and never
// touch memory; overrun() tells whether more bits were consumed than exist.
#pragma once
#include <cstddef>
#include <cstdint>

namespace orv::tb {

class BitReader {
 public:
  BitReader(const uint8_t* data, size_t length) : data_(data), length_(length) {
    window_ = uint32_t(unit()) << 16;
    window_ |= unit();
  }

  // The next n (0..16) bits without consuming them.
  uint32_t peek(int n) const { return n == 0 ? 0 : (window_ << used_) >> (32 - n); }

  // Consumes n (0..16) bits.
  void skip(int n) {
    used_ += n;
    if (used_ >= 16) {
      window_ = (window_ << 16) | unit();
      used_ -= 16;
    }
  }

  // Reads n (0..32) bits as an unsigned number.
  uint32_t read(int n) {
    uint32_t value = 0;
    while (n > 16) {
      value = (value << 16) | take(16);
      n -= 16;
    }
    return n == 0 ? value : (value << n) | take(n);
  }

  uint32_t bit() { return take(1); }

  // Bits consumed since the start.
  uint64_t consumed() const { return uint64_t(next_) * 8 - 32 + used_; }
  bool overrun() const { return consumed() > uint64_t(length_) * 8; }

  // Skips to the next byte boundary of the stream.
  void alignToByte() {
    const int rest = int(consumed() & 7);
    if (rest != 0) skip(8 - rest);
  }

 private:
  uint32_t take(int n) {
    const uint32_t value = peek(n);
    skip(n);
    return value;
  }

  uint32_t unit() {
    uint32_t value;
    if (next_ + 2 <= length_) {
      value = (uint32_t(data_[next_]) << 8) | data_[next_ + 1];
    } else {
      value = next_ < length_ ? uint32_t(data_[next_]) << 8 : 0;
    }
    next_ += 2;
    return value;
  }

  const uint8_t* data_;
  size_t length_;
  size_t next_ = 0;  // next byte to load into the window
  uint32_t window_ = 0;
  int used_ = 0;  // bits of the window already consumed (0..15 between calls)
};

}  // namespace orv::tb
