#include "rules/RegistryPol.h"

#include <algorithm>

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LittleEndian.h"

namespace polvane {
namespace {

constexpr std::uint8_t kSignature[] = {'P', 'R', 'e', 'g', 1, 0, 0, 0};
constexpr std::uint32_t kDword = 4;
constexpr std::uint32_t kString = 1;
constexpr char kDeletePrefix[] = "**del.";
constexpr char kSoftPrefix[] = "**soft.";

void PutChar(Bytes& out, char16_t c) {
  out.push_back(static_cast<std::uint8_t>(c));
  out.push_back(static_cast<std::uint8_t>(c >> 8));
}

void PutDword(Bytes& out, std::uint32_t number) {
  const auto bytes = DwordBytes(number);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// Reads the body one record at a time into file, whose bytes it reads; the
// first fault found is reported.
class Reader {
 public:
  explicit Reader(PolFile& file) : file_(file), bytes_(file.bytes) {
    // Each name's character takes two bytes: the names fit, and never move.
    file_.text.reserve(bytes_.size() / 2);
  }

  bool Read() {
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
      ShareKeyWithThePrevious(record);
      file_.records.push_back(record);
    }
    return true;
  }

  std::string error;

 private:
  bool Fail(const std::string& what) {
    error = Joined({"Not a Registry.pol file: ", what, " at byte ",
                    Decimal(static_cast<std::int64_t>(at_)), "."});
    return false;
  }

  bool Char(char16_t& c) {
    if (bytes_.size() - at_ < 2) return false;
    c = Utf16At(&bytes_[at_]);
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
  bool String(std::string_view& text, const char* what) {
    const std::size_t start = file_.text.size();
    for (char16_t c = 0; Char(c);) {
      if (c == 0) {
        text = std::string_view(file_.text.data() + start, file_.text.size() - start);
        return true;
      }
      file_.text.push_back(AsciiOf(c));
    }
    return Fail(Joined({"the file ends inside ", what}));
  }

  // A product's values follow one another under one key: its name is kept
  // once. The record's names are the last in the text, key first.
  void ShareKeyWithThePrevious(PolRecord& record) {
    if (file_.records.empty() || file_.records.back().key != record.key) return;
    char* const key = file_.text.data() + (record.key.data() - file_.text.data());
    std::copy(record.value.begin(), record.value.end(), key);
    file_.text.resize(file_.text.size() - record.key.size());
    record.value = std::string_view(key, record.value.size());
    record.key = file_.records.back().key;
  }

  bool Dword(std::uint32_t& number, const char* what) {
    if (bytes_.size() - at_ < 4) return Fail(Joined({"the file ends inside ", what}));
    number = DwordAt(&bytes_[at_]);
    at_ += 4;
    return true;
  }

  bool Data(std::span<const std::uint8_t>& data) {
    if (bytes_.size() - at_ < size_) return Fail("the file ends inside a record's data");
    data = std::span<const std::uint8_t>(bytes_).subspan(at_, size_);
    at_ += size_;
    return true;
  }

  PolFile& file_;
  const Bytes& bytes_;
  std::size_t at_ = sizeof kSignature;
  std::uint32_t size_ = 0;
};

// The value's own records: the value itself, **soft. or **del. of it.
bool IsRecordOf(const PolRecord& record, std::string_view key, std::string_view value) {
  return SameKeyPath(record.key, key) && (SameIgnoringCase(record.value, value) ||
                                          SameIgnoringCase(record.value, kSoftPrefix, value) ||
                                          SameIgnoringCase(record.value, kDeletePrefix, value));
}

// Whether a string record's list, "name;name;...", holds an entry that
// matches.
template <class Matches>
bool ListHolds(const PolRecord& record, Matches matches) {
  if (record.type != kString) return false;
  std::string list = AsciiFromUtf16(record.data.data(), record.data.size());
  list.resize(std::min(list.find('\0'), list.size()));
  for (std::size_t start = 0, end; start <= list.size(); start = end + 1) {
    end = std::min(list.find(';', start), list.size());
    if (matches(std::string_view(list).substr(start, end - start))) return true;
  }
  return false;
}

// The value's setting as the file's records leave it, applied in order as the
// Group Policy engine applies them; without its own records where own is
// false.
PolSetting Applied(const PolFile& file, std::string_view key, std::string_view value, bool own) {
  using State = PolSetting::State;
  PolSetting setting;
  for (const PolRecord& record : file.records) {
    if (!own && IsRecordOf(record, key, value)) continue;
    const PolEffect effect = EffectOn(record, key, value);
    if (effect == PolEffect::Deletes) {
      setting = {State::Deleted};
    } else if (effect == PolEffect::Sets ||
               (effect == PolEffect::SetsIfMissing &&
                (setting.state == State::NotConfigured || setting.state == State::Deleted))) {
      // Where the file deleted it, the value is missing: a **soft. sets it.
      const bool ifMissing =
          effect == PolEffect::SetsIfMissing && setting.state == State::NotConfigured;
      if (record.type != kDword || record.data.size() != 4)
        setting = {State::Other, 0, record.type};
      else
        setting = {ifMissing ? State::NumberIfMissing : State::Number, DwordAt(record.data.data())};
    }
  }
  return setting;
}

}  // namespace

Bytes EmptyPol() { return Bytes(std::begin(kSignature), std::end(kSignature)); }

PolRead ReadPol(Bytes bytes) {
  if (bytes.empty()) return {PolFile{}, {}};
  if (bytes.size() < sizeof kSignature ||
      !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()))
    return {std::nullopt, "Not a Registry.pol file: it does not start with PReg, version 1."};
  PolFile file;
  file.bytes = std::move(bytes);
  Reader reader(file);
  if (!reader.Read()) return {std::nullopt, reader.error};
  return {std::move(file), {}};
}

std::string DeletionOf(std::string_view value) { return Joined({kDeletePrefix, value}); }

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

PolEffect EffectOn(const PolRecord& record, std::string_view key, std::string_view value) {
  if (SameIgnoringCase(record.value, "**DeleteKeys"))
    return ListHolds(record,
                     [&](std::string_view entry) {
                       const std::optional<std::string> deleted =
                           ResolvedKeyPath(Joined({record.key, "\\", entry}));
                       return !entry.empty() && deleted && IsAtOrBelow(key, *deleted);
                     })
               ? PolEffect::Deletes
               : PolEffect::None;
  if (!SameKeyPath(record.key, key)) return PolEffect::None;
  if (SameIgnoringCase(record.value, value)) return PolEffect::Sets;
  if (SameIgnoringCase(record.value, kSoftPrefix, value)) return PolEffect::SetsIfMissing;
  if (SameIgnoringCase(record.value, kDeletePrefix, value) ||
      SameIgnoringCase(record.value, "**delvals.") || SameIgnoringCase(record.value, "**delvals") ||
      (SameIgnoringCase(record.value, "**DeleteValues") &&
       ListHolds(record, [&](std::string_view entry) { return SameIgnoringCase(entry, value); })))
    return PolEffect::Deletes;
  return PolEffect::None;
}

PolSetting FindPolValue(const PolFile& file, std::string_view key, std::string_view value) {
  return Applied(file, key, value, true);
}

bool HasRecordOf(const PolFile& file, std::string_view key, std::string_view value) {
  return std::any_of(file.records.begin(), file.records.end(),
                     [&](const PolRecord& record) { return IsRecordOf(record, key, value); });
}

PolSetting FindPolValueOnceWritten(const PolFile& file, std::string_view key,
                                   std::string_view value, const PolSetting& setting) {
  // A record written comes after every other value's record that deletes
  // this one, so it has the last word.
  if (setting.state != PolSetting::State::NotConfigured) return setting;
  return Applied(file, key, value, false);
}

Bytes WithPolValue(const PolFile& file, std::string_view key, std::string_view value,
                   const PolSetting& setting) {
  return WithPolValues(file, key, {{value, setting}});
}

Bytes WithPolValues(const PolFile& file, std::string_view key,
                    const std::vector<PolValueSetting>& settings) {
  // Each value's record, where one is written, and the place it takes.
  struct Placing {
    Bytes replacement;
    std::size_t lastDeleter = 0;
    bool seen = false, placed = false;
  };
  std::vector<Placing> placings;
  for (const PolValueSetting& change : settings) {
    Placing placing;
    if (change.setting.state == PolSetting::State::Number) {
      Bytes data;
      PutDword(data, change.setting.number);
      placing.replacement = PolRecordBytes(key, change.value, kDword, data);
    } else if (change.setting.state == PolSetting::State::Deleted) {
      // As the Group Policy editor writes it: a string of one space.
      placing.replacement =
          PolRecordBytes(key, DeletionOf(change.value), kString, Bytes{' ', 0, 0, 0});
    }
    // A record of another value's that deletes this one too (**delvals.,
    // **DeleteValues) stays; the new record must come after the last of them.
    for (std::size_t i = 0; i < file.records.size(); ++i)
      if (!IsRecordOf(file.records[i], key, change.value) &&
          EffectOn(file.records[i], key, change.value) == PolEffect::Deletes)
        placing.lastDeleter = i + 1;
    placings.push_back(std::move(placing));
  }
  Bytes out = EmptyPol();
  out.reserve(file.bytes.size() + 256 * settings.size());
  for (std::size_t i = 0; i < file.records.size(); ++i) {
    const PolRecord& record = file.records[i];
    bool own = false;
    for (std::size_t c = 0; c < settings.size(); ++c)
      if (IsRecordOf(record, key, settings[c].value)) own = placings[c].seen = true;
    if (!own) {
      const auto begin = file.bytes.begin() + static_cast<std::ptrdiff_t>(record.offset);
      out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(record.length));
    }
    // Placed one after another, each value's record goes right after the
    // record that places it, ahead of an earlier value's placed there.
    for (std::size_t c = settings.size(); c-- > 0;) {
      Placing& placing = placings[c];
      if (placing.seen && !placing.placed && i + 1 >= placing.lastDeleter) {
        out.insert(out.end(), placing.replacement.cbegin(), placing.replacement.cend());
        placing.placed = true;
      }
    }
  }
  for (const Placing& placing : placings)
    if (!placing.placed)
      out.insert(out.end(), placing.replacement.cbegin(), placing.replacement.cend());
  return out;
}

}  // namespace polvane
