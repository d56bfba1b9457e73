#pragma once
// Numbers and UTF-16 text as Windows lays them out in bytes, low byte first:
// registry data, Registry.pol and regedit's files.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace polvane {

// The 4 bytes at bytes as a DWORD.
constexpr std::uint32_t DwordAt(const std::uint8_t* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

// A DWORD's 4 bytes, as DwordAt reads them.
constexpr std::array<std::uint8_t, 4> DwordBytes(std::uint32_t number) {
  return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
          static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
}

// The 2 bytes at bytes as one UTF-16 code unit.
constexpr char16_t Utf16At(const std::uint8_t* bytes) {
  return static_cast<char16_t>(bytes[0] | bytes[1] << 8);
}

// A UTF-16 code unit as plain ASCII: '?' stands for everything else, which no
// name Polvane looks for holds.
constexpr char AsciiOf(char16_t c) { return c < 0x80 ? static_cast<char>(c) : '?'; }

// size bytes of UTF-16LE text as ASCII, by AsciiOf; an odd last byte is
// dropped.
inline std::string AsciiFromUtf16(const std::uint8_t* bytes, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(AsciiOf(Utf16At(bytes + i)));
  return text;
}

}  // namespace polvane
