#include "rules/PolicyFiles.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LittleEndian.h"
#include "rules/Messages.h"
#include "rules/PolicyTable.h"
#include "seams/RegistryApi.h"

namespace polvane {
namespace {

constexpr char kRegHeader[] = "Windows Registry Editor Version 5.00";

bool IsPolicyKey(std::string_view key) { return SameIgnoringCase(key, kPolicyKeyPath); }

std::string RootName(bool allUsers) {
  return allUsers ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// Text as UTF-16LE with its byte-order mark, as regedit writes it.
Bytes Utf16WithMark(const std::string& text) {
  Bytes out{0xFF, 0xFE};
  for (const char c : text) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
  return out;
}

// A text file's lines: UTF-16LE with its mark, UTF-8 with or without one,
// or another single-byte code; line ends CR LF or LF.
std::vector<std::string> LinesOf(const Bytes& file) {
  std::string text;
  if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE)
    text = AsciiFromUtf16(file.data() + 2, file.size() - 2);
  else
    text.assign(
        file.begin() +
            (file.size() >= 3 && file[0] == 0xEF && file[1] == 0xBB && file[2] == 0xBF ? 3 : 0),
        file.end());
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = std::min(text.find('\n', start), text.size());
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kNoRow = kPolicyTable.size();

std::string_view TrimStart(std::string_view text) {
  return text.substr(std::min(text.find_first_not_of(kBlanks), text.size()));
}

// How regedit and reg name a registry type.
std::string TypeName(std::uint32_t type) {
  constexpr const char* kNames[] = {"REG_NONE",   "REG_SZ",      "REG_EXPAND_SZ",
                                    "REG_BINARY", "REG_DWORD",   "REG_DWORD_BIG_ENDIAN",
                                    "REG_LINK",   "REG_MULTI_SZ"};
  if (type == kRegQword) return "REG_QWORD";
  return type < std::size(kNames) ? kNames[type] : "of type " + Decimal(type);
}

// What a .reg value line's data is, as regedit reads it: a deletion ("-"),
// a value of a type (its size, and its first four bytes as a number), or
// nothing regedit can read.
struct RegData {
  enum class Kind { Delete, Value, Unreadable } kind = Kind::Unreadable;
  std::uint32_t type = 0, size = 0, number = 0;
};

// What may follow a value's data: blanks, then a comment.
bool IsTail(std::string_view text) {
  text = TrimStart(text);
  return text.empty() || text[0] == ';';
}

// The hexadecimal digits at the start of text, taken off it, as a number;
// nothing when there are none or more than most.
std::optional<std::uint32_t> TakeHexadecimal(std::string_view& text, std::size_t most) {
  const std::size_t digits = std::min(text.find_first_not_of(kHexDigits), text.size());
  if (digits > most) return std::nullopt;
  const std::optional<std::uint32_t> number = ParseHexadecimal(text.substr(0, digits));
  text.remove_prefix(digits);
  return number;
}

RegData ParseRegData(std::string_view data) {
  using Kind = RegData::Kind;
  if (Consume(data, "-")) return {IsTail(data) ? Kind::Delete : Kind::Unreadable};
  if (Consume(data, "\"")) return {Kind::Value, 1};  // its text is no matter here
  if (Consume(data, "str(2):")) return {Kind::Value, 2};
  if (Consume(data, "dword:")) {
    data = TrimStart(data);
    const std::optional<std::uint32_t> number = TakeHexadecimal(data, 8);
    if (!number || !IsTail(data)) return {};
    return {Kind::Value, kRegDword, 4, *number};
  }
  RegData value{Kind::Value, kRegBinary};
  if (Consume(data, "hex(")) {
    const std::optional<std::uint32_t> type = TakeHexadecimal(data, 8);
    if (!type || !Consume(data, "):")) return {};
    value.type = *type;
  } else if (!Consume(data, "hex:")) {
    return {};
  }
  // Bytes of one or two digits, separated by commas and blanks.
  for (data = TrimStart(data); !IsTail(data); data = TrimStart(data)) {
    const std::optional<std::uint32_t> byte = TakeHexadecimal(data, 2);
    if (!byte) return {};
    if (value.size < 4) value.number |= *byte << 8 * value.size;
    ++value.size;
    data = TrimStart(data);
    if (!Consume(data, ",") && !IsTail(data)) return {};
  }
  return value;
}

// A .reg value line's name, "name" with \\ and \" escaped, or @ for the
// key's default value; text is left at what follows it.
std::optional<std::string> RegValueName(std::string_view& text) {
  if (text[0] == '@') {
    text.remove_prefix(1);
    return "@";
  }
  if (text[0] != '"') return std::nullopt;
  std::string name;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '"') {
      text.remove_prefix(i + 1);
      return name;
    }
    if (text[i] == '\\' && i + 1 < text.size()) ++i;
    name += text[i];
  }
  return std::nullopt;
}

class Importer {
 public:
  explicit Importer(bool allUsers) : allUsers_(allUsers) {}

  // In order, as the Group Policy engine applies them: each policy as the
  // records leave it.
  ImportedPolicies Pol(const Bytes& file) {
    // The Group Policy engine takes an empty Registry.pol for one with no
    // records; a file made to be imported is never empty.
    if (file.empty()) return Error({"Not a Registry.pol file: the file is empty."});
    const PolRead read = ReadPol(file);
    if (!read.file) return Error({read.error});
    for (const PolRecord& record : read.file->records) {
      bool ours = false;
      for (const PolicyRow& row : kPolicyTable)
        ours = ours || EffectOn(record, kPolicyKeyPath, row.valueName) != PolEffect::None;
      if (!ours) Skip({record.key, "\\", record.value});
    }
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
      const PolSetting setting =
          FindPolValue(*read.file, kPolicyKeyPath, kPolicyTable[row].valueName);
      switch (setting.state) {
        case PolSetting::State::NotConfigured:
          break;
        case PolSetting::State::Deleted:
          Take(row, std::nullopt);
          break;
        case PolSetting::State::NumberIfMissing:
          result_.ifMissing[row] = true;
          [[fallthrough]];
        case PolSetting::State::Number:
          Take(row, setting.number);
          break;
        case PolSetting::State::Other:
          OtherType(row, setting.type, 4);
          break;
      }
    }
    return std::move(result_);
  }

  // As regedit applies a script: line by line, a later line winning, a line
  // it cannot read passed over.
  ImportedPolicies Reg(const Bytes& file) {
    const std::vector<std::string> lines = LinesOf(file);
    const std::string_view header = TrimStart(lines[0]);
    if (header != kRegHeader && header != "REGEDIT4")
      return Error(
          {"Not a registry script: line 1 is neither \"", kRegHeader, "\" nor \"REGEDIT4\"."});
    const std::string ours = Joined({RootName(allUsers_), "\\", kPolicyKeyPath});
    std::string key;  // empty before the first key and after a deletion
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::size_t first = i;
      std::string line = lines[i];
      // A value's data may go on over lines that end in a backslash.
      while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
        line.pop_back();
        line += TrimStart(lines[++i]);
      }
      std::string_view text = TrimStart(line);
      if (text.empty() || text[0] == ';' || text[0] == '#') continue;
      if (text[0] == '[') {
        KeyLine(text.substr(1, text.find(']') - 1), ours, key);
        continue;
      }
      const std::optional<std::string> name = RegValueName(text);
      text = TrimStart(text);
      if (!name || !Consume(text, "=")) {
        Skip({"line ", Line(first), ", which regedit reads as no key or value"});
        continue;
      }
      const std::optional<std::size_t> row = RowNamed(*name);
      if (!row || !SameIgnoringCase(key, ours)) {
        Skip({key, key.empty() ? "" : "\\", *name});
        continue;
      }
      const RegData data = ParseRegData(TrimStart(text));
      if (data.kind == RegData::Kind::Delete)
        Take(*row, std::nullopt);
      else if (data.kind == RegData::Kind::Unreadable)
        Skip({"line ", Line(first), ", whose data regedit cannot read"});
      else if (data.type == kRegDword && data.size == 4)
        Take(*row, data.number);
      else
        OtherType(*row, data.type, data.size);
    }
    return std::move(result_);
  }

  // LGPO's records of four lines: scope, key, value name, action.
  ImportedPolicies Lgpo(const Bytes& file) {
    std::vector<std::string_view> fields;
    const std::vector<std::string> lines = LinesOf(file);
    std::size_t first = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string_view line = Trim(lines[i], kBlanks);
      if (line.empty() || line[0] == ';') continue;
      if (fields.empty()) first = i;
      fields.push_back(line);
      if (fields.size() < 4) continue;
      const std::string scope = AsciiLower(fields[0]);
      if (scope != "computer" && scope != "user")
        return Error(
            {"Not an LGPO text file: line ", Line(first), " is neither Computer nor User."});
      if (const std::optional<std::string> error = LgpoRecord(scope == "computer", fields))
        return Error({"Not an LGPO text file: line ", Line(i), " ", *error, "."});
      fields.clear();
    }
    if (!fields.empty()) return Error({"Not an LGPO text file: it ends inside a record."});
    return std::move(result_);
  }

 private:
  static std::string Line(std::size_t index) {
    return Decimal(static_cast<std::int64_t>(index + 1));
  }

  // A key line: the key that values below it go to, or a deletion, which
  // unsets the five policies where it deletes their key or one above it.
  void KeyLine(std::string_view path, const std::string& ours, std::string& key) {
    key.clear();
    if (!Consume(path, "-")) {
      key = path;
      return;
    }
    if (path.find('\\') == std::string_view::npos || !IsAtOrBelow(ours, path))
      return Skip({"[-", path, "]"});
    TakeAll(std::nullopt);
    if (!SameIgnoringCase(path, ours)) Skip({"the rest of [-", path, "]"});
  }

  // One LGPO record; what is wrong with its action, or nothing.
  std::optional<std::string> LgpoRecord(bool computer,
                                        const std::vector<std::string_view>& fields) {
    const std::size_t colon = std::min(fields[3].find(':'), fields[3].size());
    const std::string verb = AsciiLower(fields[3].substr(0, colon));
    const bool here = computer == allUsers_ && IsPolicyKey(fields[1]);
    const std::size_t row = here ? RowNamed(fields[2]).value_or(kNoRow) : kNoRow;
    bool taken = row != kNoRow;
    if (verb == "dword") {
      const std::optional<std::uint32_t> number =
          ParseDecimal(colon < fields[3].size() ? fields[3].substr(colon + 1) : "");
      if (!number) return "holds no DWORD number";
      if (taken) Take(row, *number);
    } else if (const std::uint32_t type = LgpoType(verb)) {
      if (taken) OtherType(row, type, 0);
    } else if (verb == "delete") {
      if (taken) Take(row, std::nullopt);
    } else if (verb == "deleteallvalues" || verb == "createkey") {
      // All the key's values, or the key alone, which changes none.
      taken = here;
      if (here && verb == "deleteallvalues") TakeAll(std::nullopt);
    } else {
      return "names no action LGPO knows";
    }
    if (!taken) Skip({fields[0], " ", fields[1], "\\", fields[2]});
    return std::nullopt;
  }

  // The type of LGPO's other value verbs, or 0.
  static std::uint32_t LgpoType(const std::string& verb) {
    if (verb == "sz") return 1;
    if (verb == "exsz") return 2;
    if (verb == "binary") return kRegBinary;
    return verb == "multisz" ? 7 : 0;
  }

  static ImportedPolicies Error(std::initializer_list<std::string_view> what) {
    ImportedPolicies failed;
    failed.error = Printable(Joined(what));
    return failed;
  }
  void Take(std::size_t row, std::optional<std::uint32_t> value) { result_.values[row] = value; }
  void TakeAll(std::optional<std::uint32_t> value) {
    for (std::size_t row = 0; row < kPolicyTable.size(); ++row) Take(row, value);
  }
  // One of the five policies' names with a value Messenger does not read.
  void OtherType(std::size_t row, std::uint32_t type, std::size_t size) {
    const bool dword = type == kRegDword;
    result_.notes.push_back(
        Joined({kPolicyTable[row].valueName, " is a ", dword ? "REG_DWORD of " : TypeName(type),
                dword ? Decimal(static_cast<std::uint32_t>(size)) : "",
                dword ? " bytes, not 4" : ", not a REG_DWORD", ": skipped."}));
  }
  void Skip(std::initializer_list<std::string_view> what) {
    result_.notes.push_back(
        Joined({"Skipped ", Printable(Joined(what)), ": not one of the five policies of ",
                ScopeName(allUsers_), "."}));
  }

  bool allUsers_;
  ImportedPolicies result_;
};

}  // namespace

std::optional<PolicyFileFormat> FormatOfFile(const std::string& path) {
  const std::string lower = AsciiLower(path);
  const auto endsWith = [&lower](const char* ending) {
    const std::string e(ending);
    return lower.size() > e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
  };
  if (endsWith(".pol")) return PolicyFileFormat::Pol;
  if (endsWith(".reg")) return PolicyFileFormat::Reg;
  if (endsWith(".txt")) return PolicyFileFormat::Lgpo;
  return std::nullopt;
}

Bytes ExportPolicies(PolicyFileFormat format, bool allUsers, const PolicyValues& values) {
  Bytes pol = EmptyPol();
  std::string text =
      format == PolicyFileFormat::Reg
          ? Joined({kRegHeader, "\r\n\r\n[", RootName(allUsers), "\\", kPolicyKeyPath, "]\r\n"})
          : "";
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
    const char* name = kPolicyTable[row].valueName;
    const std::optional<std::uint32_t>& value = values[row];
    if (format == PolicyFileFormat::Reg) {
      // regedit writes a dword's eight hexadecimal digits in lower case.
      text += Joined({"\"", name, value ? "\"=dword:" : "\"=-",
                      value ? AsciiLower(Hexadecimal(*value, 8)) : "", "\r\n"});
    } else if (value) {  // for Group Policy a value that is not set has no record
      Bytes data;
      for (int shift = 0; shift < 32; shift += 8)
        data.push_back(static_cast<std::uint8_t>(*value >> shift));
      const Bytes record = PolRecordBytes(kPolicyKeyPath, name, kRegDword, data);
      pol.insert(pol.end(), record.begin(), record.end());
      text += Joined({allUsers ? "Computer\r\n" : "User\r\n", kPolicyKeyPath, "\r\n", name,
                      "\r\nDWORD:", Decimal(*value), "\r\n\r\n"});
    }
  }
  if (format == PolicyFileFormat::Pol) return pol;
  if (format == PolicyFileFormat::Reg) return Utf16WithMark(text + "\r\n");
  return Bytes(text.begin(), text.end());
}

ImportedPolicies ImportPolicies(PolicyFileFormat format, bool allUsers, const Bytes& file) {
  Importer importer(allUsers);
  switch (format) {
    case PolicyFileFormat::Pol:
      return importer.Pol(file);
    case PolicyFileFormat::Reg:
      return importer.Reg(file);
    case PolicyFileFormat::Lgpo:
      break;
  }
  return importer.Lgpo(file);
}

}  // namespace polvane
