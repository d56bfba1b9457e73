#include "rules/RegistryPol.h"

#include <algorithm>

#include "rules/Ascii.h"
#include "rules/Decimal.h"

namespace polvane {
namespace {

constexpr std::uint8_t kSignature[] = {'P', 'R', 'e', 'g', 1, 0, 0, 0};
constexpr std::uint32_t kDword = 4;
constexpr std::uint32_t kString = 1;
constexpr char kDeletePrefix[] = "**del.";

bool SameName(std::string_view a, std::string_view b) { return AsciiLower(a) == AsciiLower(b); }

void PutChar(Bytes& out, char16_t c) {
  out.push_back(static_cast<std::uint8_t>(c));
  out.push_back(static_cast<std::uint8_t>(c >> 8));
}

void PutDword(Bytes& out, std::uint32_t number) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(number >> shift));
}

// Reads the body one record at a time; the first fault found is reported.
class Reader {
 public:
  explicit Reader(const Bytes& bytes) : bytes_(bytes) {}

  bool Read(std::vector<PolRecord>& records) {
    while (at_ < bytes_.size()) {
      PolRecord record;
      record.offset = at_;
      if (!Expect(u'[', "a record that does not start with '['") ||
          !String(record.key, "its key") || !Expect(u';', "no ';' after the key") ||
          !String(record.value, "its value name") || !Expect(u';', "no ';' after the value name") ||
          !Dword(record.type, "its type") || !Expect(u';', "no ';' after the type") ||
          !Dword(size_, "its size") || !Expect(u';', "no ';' after the size") ||
          !Data(record.data) || !Expect(u']', "a record that does not end with ']'"))
        return false;
      if (record.key.empty()) return Fail("a record with an empty key");
      record.length = at_ - record.offset;
      records.push_back(std::move(record));
    }
    return true;
  }

  std::string error;

 private:
  bool Fail(const std::string& what) {
    error = "Not a Registry.pol file: " + what + " at byte " +
            Decimal(static_cast<std::int64_t>(at_)) + ".";
    return false;
  }

  bool Char(char16_t& c) {
    if (bytes_.size() - at_ < 2) return false;
    c = static_cast<char16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }

  bool Expect(char16_t wanted, const char* what) {
    const std::size_t start = at_;
    char16_t c = 0;
    if (Char(c) && c == wanted) return true;
    at_ = start;
    return Fail(what);
  }

  // A string ends with its terminating zero, before the next ';'.
  bool String(std::string& text, const char* what) {
    for (char16_t c = 0; Char(c);) {
      if (c == 0) return true;
      text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return Fail(std::string("the file ends inside ") + what);
  }

  bool Dword(std::uint32_t& number, const char* what) {
    if (bytes_.size() - at_ < 4) return Fail(std::string("the file ends inside ") + what);
    number = bytes_[at_] | bytes_[at_ + 1] << 8 | bytes_[at_ + 2] << 16 |
             static_cast<std::uint32_t>(bytes_[at_ + 3]) << 24;
    at_ += 4;
    return true;
  }

  bool Data(Bytes& data) {
    if (bytes_.size() - at_ < size_) return Fail("the file ends inside a record's data");
    data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + size_));
    at_ += size_;
    return true;
  }

  const Bytes& bytes_;
  std::size_t at_ = sizeof kSignature;
  std::uint32_t size_ = 0;
};

bool IsRecordOf(const PolRecord& record, std::string_view key, std::string_view value) {
  return SameName(record.key, key) &&
         (SameName(record.value, value) || SameName(record.value, DeletionOf(value)));
}

}  // namespace

PolRead ReadPol(Bytes bytes) {
  if (bytes.empty()) return {PolFile{}, {}};
  if (bytes.size() < sizeof kSignature ||
      !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
    return {std::nullopt, "Not a Registry.pol file: it does not start with PReg, version 1."};
  PolFile file;
  Reader reader(bytes);
  if (!reader.Read(file.records)) return {std::nullopt, reader.error};
  file.bytes = std::move(bytes);
  return {std::move(file), {}};
}

std::string DeletionOf(std::string_view value) {
  return std::string(kDeletePrefix) + std::string(value);
}

Bytes PolRecordBytes(std::string_view key, std::string_view value, std::uint32_t type,
                     const Bytes& data) {
  Bytes out;
  PutChar(out, u'[');
  for (const char c : key) PutChar(out, static_cast<unsigned char>(c));
  PutChar(out, 0);
  PutChar(out, u';');
  for (const char c : value) PutChar(out, static_cast<unsigned char>(c));
  PutChar(out, 0);
  PutChar(out, u';');
  PutDword(out, type);
  PutChar(out, u';');
  PutDword(out, static_cast<std::uint32_t>(data.size()));
  PutChar(out, u';');
  out.insert(out.end(), data.begin(), data.end());
  PutChar(out, u']');
  return out;
}

PolSetting FindPolValue(const PolFile& file, std::string_view key, std::string_view value) {
  for (const PolRecord& record : file.records) {
    if (!IsRecordOf(record, key, value)) continue;
    if (!SameName(record.value, value)) return {PolSetting::State::Deleted};
    if (record.type != kDword || record.data.size() != 4) return {PolSetting::State::Other};
    return {PolSetting::State::Number, record.data[0] | record.data[1] << 8 | record.data[2] << 16 |
                                           static_cast<std::uint32_t>(record.data[3]) << 24};
  }
  return {};
}

Bytes WithPolValue(const PolFile& file, std::string_view key, std::string_view value,
                   const PolSetting& setting) {
  Bytes replacement;
  if (setting.state == PolSetting::State::Number) {
    Bytes data;
    PutDword(data, setting.number);
    replacement = PolRecordBytes(key, value, kDword, data);
  } else if (setting.state == PolSetting::State::Deleted) {
    // As the Group Policy editor writes it: a string of one space.
    replacement = PolRecordBytes(key, DeletionOf(value), kString, Bytes{' ', 0, 0, 0});
  }
  Bytes out(std::begin(kSignature), std::end(kSignature));
  bool placed = false;
  for (const PolRecord& record : file.records) {
    const auto begin = file.bytes.begin() + static_cast<std::ptrdiff_t>(record.offset);
    if (!IsRecordOf(record, key, value)) {
      out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(record.length));
    } else if (!placed) {
      out.insert(out.end(), replacement.begin(), replacement.end());
      placed = true;
    }
  }
  if (!placed) out.insert(out.end(), replacement.begin(), replacement.end());
  return out;
}

}  // namespace polvane
