#pragma once
// Registry.pol, the file in which Group Policy keeps registry policies
// (Microsoft's "Registry Policy File Format", [MS-GPREG]): the signature
// "PReg", version 1, then records [key;value;type;size;data] in UTF-16LE.
// Reading keeps every record's bytes, so that changing one value rewrites
// nothing else: the policies of every other product share the file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace polvane {

using Bytes = std::vector<std::uint8_t>;

// Keys and value names are kept as ASCII, any other character as '?': what
// Polvane looks for is ASCII, and the record's own bytes are kept as they are.
// A record views its file: its names are in the file's text, its data in the
// file's bytes.
struct PolRecord {
  std::string_view key, value;
  std::uint32_t type = 0;
  std::span<const std::uint8_t> data;
  std::size_t offset = 0, length = 0;  // where it stands in the file, brackets included
};

// A file as read, which holds what its records view: it moves, keeping them
// valid, and is never copied. The file is read once, and holds little more
// than its own size: no record owns a copy of anything.
struct PolFile {
  PolFile() = default;
  PolFile(PolFile&&) = default;
  PolFile& operator=(PolFile&&) = default;
  PolFile(const PolFile&) = delete;
  PolFile& operator=(const PolFile&) = delete;

  Bytes bytes;             // as read; empty for a file that is not there yet
  std::vector<char> text;  // the records' keys and value names
  std::vector<PolRecord> records;
};

struct PolRead {
  std::optional<PolFile> file;  // empty when the bytes are no Registry.pol
  std::string error;            // then what is wrong, and where
};

// A Registry.pol with no records: its signature alone.
Bytes EmptyPol();

// Reads a Registry.pol. No bytes at all are a file with no records.
PolRead ReadPol(Bytes bytes);

// The value's name as a record deletes it: "**del.name".
std::string DeletionOf(std::string_view value);

Bytes PolRecordBytes(std::string_view key, std::string_view value, std::uint32_t type,
                     const Bytes& data);

// What a record does to a value under key, as Windows applies it: sets it
// (the record is the value itself), sets it only where it is not there yet
// (**soft.value), deletes it (**del.value, **delvals., a **DeleteValues whose
// list names it, or a **DeleteKeys whose list names key or a key above it),
// or nothing (**SecureKey, and every other value's records). Keys and names
// are compared without regard to case, as the registry does.
enum class PolEffect { None, Sets, SetsIfMissing, Deletes };
PolEffect EffectOn(const PolRecord& record, std::string_view key, std::string_view value);

// What the file says of a REG_DWORD value under key, its records applied in
// order as the Group Policy engine applies them: its number, its number
// where the value is not there yet, "deleted", a value of another type or
// size, or nothing at all (not configured).
struct PolSetting {
  enum class State { NotConfigured, Deleted, Number, NumberIfMissing, Other };
  State state = State::NotConfigured;
  std::uint32_t number = 0;
  std::uint32_t type = 0;  // Other's registry type
};
PolSetting FindPolValue(const PolFile& file, std::string_view key, std::string_view value);

// The file with the value set to number, or marked deleted, or, with
// neither, with every record of its own gone, which is "not configured". The
// value's first record is replaced where it stands, any later ones go, and
// every other record is kept byte for byte in its order; a new value comes
// last, and so does one that a later record of another value's deletes.
Bytes WithPolValue(const PolFile& file, std::string_view key, std::string_view value,
                   const PolSetting& setting);
// The same for several values at once, in one pass: the file that writing
// each in turn with WithPolValue, reading the result back each time, gives.
struct PolValueSetting {
  std::string_view value;
  PolSetting setting;
};
Bytes WithPolValues(const PolFile& file, std::string_view key,
                    const std::vector<PolValueSetting>& settings);

// Whether the file holds a record of the value's own: the value, or a
// **soft. or **del. of it.
bool HasRecordOf(const PolFile& file, std::string_view key, std::string_view value);

// What FindPolValue finds of the value in WithPolValue's file, found
// without making it: the setting written, or, for "not configured", what
// other values' records leave of it.
PolSetting FindPolValueOnceWritten(const PolFile& file, std::string_view key,
                                   std::string_view value, const PolSetting& setting);

}  // namespace polvane
