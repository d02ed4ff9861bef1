// Reads a fuzzer input front to back; past its end every byte reads as 0,
// so that any input, however short, decodes to something.
#ifndef NOISEBIND_FUZZ_BYTE_READER_H
#define NOISEBIND_FUZZ_BYTE_READER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace noisebind::fuzz {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
  bool Empty() const { return m_offset >= m_size; }
  // 0 once the input is used up.
  std::uint8_t Byte() { return m_offset < m_size ? m_data[m_offset++] : 0; }

  // The next sizeof(T) bytes as a T, in the machine's byte order.
  template <class T>
  T Raw() {
    std::uint8_t bytes[sizeof(T)];
    for (std::uint8_t& byte : bytes) byte = Byte();
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }
  double RawDouble() { return Raw<double>(); }

 private:
  const std::uint8_t* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
};

}  // namespace noisebind::fuzz

#endif  // NOISEBIND_FUZZ_BYTE_READER_H
