// MD5 message digest (RFC 1321), incremental. Used for the file digests that
// decide whether a file needs updating.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMd5 {
  public:
    CMd5() { Reset(); }

    void Reset();
    void Update(const void* data, std::size_t size);
    // Ends the digest; the object must be Reset before it is fed again.
    void Final(std::uint8_t digest[16]);
    // Final, written as 32 lower-case hexadecimal digits.
    std::string FinalHex();

  private:
    void Transform(const std::uint8_t* block, std::size_t blockCount);

    std::uint32_t m_state[4];
    std::uint64_t m_length;
    std::uint8_t m_buffer[64];
};
