#include "rules/PolicyFiles.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LittleEndian.h"
#include "rules/Messages.h"
#include "rules/PolicyTable.h"
#include "rules/RegScript.h"
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

// A text file's text: UTF-16LE with its mark, UTF-8 with or without one,
// or another single-byte code.
std::string TextOf(const Bytes& file) {
  if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE)
    return AsciiFromUtf16(file.data() + 2, file.size() - 2);
  const bool utf8Mark = file.size() >= 3 && file[0] == 0xEF && file[1] == 0xBB && file[2] == 0xBF;
  return {file.begin() + (utf8Mark ? 3 : 0), file.end()};
}

constexpr std::string_view kBlanks = " \t";
constexpr std::size_t kNoRow = kPolicyTable.size();

// How regedit and reg name a registry type.
std::string TypeName(std::uint32_t type) {
  constexpr const char* kNames[] = {"REG_NONE",   "REG_SZ",      "REG_EXPAND_SZ",
                                    "REG_BINARY", "REG_DWORD",   "REG_DWORD_BIG_ENDIAN",
                                    "REG_LINK",   "REG_MULTI_SZ"};
  if (type == kRegQword) return "REG_QWORD";
  return type < std::size(kNames) ? kNames[type] : "of type " + Decimal(type);
}

class Importer {
 public:
  explicit Importer(bool allUsers) : allUsers_(allUsers) {}

  // In order, as the Group Policy engine applies them: each policy as the
  // records leave it.
  ImportedPolicies Pol(Bytes file) {
    // The Group Policy engine takes an empty Registry.pol for one with no
    // records; a file made to be imported is never empty.
    if (file.empty()) return Error({"Not a Registry.pol file: the file is empty."});
    const PolRead read = ReadPol(std::move(file));
    if (!read.file) return Error({read.error});
    for (const PolRecord& record : read.file->records) {
      bool ours = false;
      for (const PolicyRow& row : kPolicyTable)
        ours = ours || EffectOn(record, kPolicyKeyPath, row.valueName) != PolEffect::None;
      if (!ours) SkipValue(record.key, record.value);
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

  // As regedit applies a script: step by step, a later step winning, a line
  // it cannot read passed over.
  ImportedPolicies Reg(const Bytes& file) {
    const RegScript script = ReadRegScript(file);
    if (!script.error.empty()) return Error({script.error});
    const std::string ours = Joined({RootName(allUsers_), "\\", kPolicyKeyPath});
    std::string key;  // the open key; empty where none is
    for (const RegStep& step : script.steps) {
      switch (step.kind) {
        case RegStep::Kind::OpenKey:
          key = step.key;
          break;
        case RegStep::Kind::CloseKey:
          key.clear();
          break;
        case RegStep::Kind::DeleteKey:
          DeletedKey(step.key, ours);
          break;
        case RegStep::Kind::Unreadable:
          Skip({"line ", Line(step.line - 1), ", which regedit reads as ", step.what});
          break;
        case RegStep::Kind::SetValue:
        case RegStep::Kind::DeleteValue:
          Value(step, key, ours);
          break;
      }
    }
    return std::move(result_);
  }

  // LGPO's records of four lines: scope, key, value name, action.
  ImportedPolicies Lgpo(const Bytes& file) {
    std::vector<std::string_view> fields;
    const std::string text = TextOf(file);
    const std::vector<std::string_view> lines = SplitLines(text);
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

  // A deleted key unsets the five policies where it is their key or one
  // above it.
  void DeletedKey(const std::string& deleted, const std::string& ours) {
    if (deleted.find('\\') == std::string::npos || !IsAtOrBelow(ours, deleted))
      return Skip({"[-", deleted, "]"});
    TakeAll(std::nullopt);
    if (!SameIgnoringCase(deleted, ours)) Skip({"the rest of [-", deleted, "]"});
  }

  void Value(const RegStep& step, const std::string& key, const std::string& ours) {
    const std::optional<std::size_t> row = RowNamed(step.name);
    if (!row || !SameIgnoringCase(key, ours)) return SkipValue(key, step.name);
    if (step.kind == RegStep::Kind::DeleteValue)
      Take(*row, std::nullopt);
    else if (step.type == kRegDword && step.size == 4)
      Take(*row, step.number);
    else
      OtherType(*row, step.type, step.size);
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
    if (!taken) SkipValue(Joined({fields[0], " ", fields[1]}), fields[2]);
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
    result_.notes.push_back(SkippedLine(Printable(Joined(what))));
  }
  std::string SkippedLine(std::string_view what) const {
    return Joined(
        {"Skipped ", what, ": not one of the five policies of ", ScopeName(allUsers_), "."});
  }
  // Another key's values are named while it has one; from the second on,
  // the key's line counts them instead, where its first one stood.
  void SkipValue(std::string_view key, std::string_view value) {
    const auto [found, first] =
        skippedKeys_.try_emplace(AsciiLower(key), SkippedKey{std::string(key)});
    SkippedKey& group = found->second;
    if (first) {
      group.note = result_.notes.size();
      return Skip({key, key.empty() ? "" : "\\", value});
    }
    const std::string count = Decimal(static_cast<std::int64_t>(++group.values));
    result_.notes[group.note] =
        SkippedLine(Printable(key.empty() ? Joined({count, " values outside any key"})
                                          : Joined({count, " values of ", group.key})));
  }

  struct SkippedKey {
    std::string key;         // as it was first written
    std::size_t note = 0;    // its line in the notes
    std::size_t values = 1;  // how many were skipped
  };
  bool allUsers_;
  std::map<std::string, SkippedKey> skippedKeys_;
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
      const auto data = DwordBytes(*value);
      const Bytes record =
          PolRecordBytes(kPolicyKeyPath, name, kRegDword, {data.begin(), data.end()});
      pol.insert(pol.end(), record.begin(), record.end());
      text += Joined({allUsers ? "Computer\r\n" : "User\r\n", kPolicyKeyPath, "\r\n", name,
                      "\r\nDWORD:", Decimal(*value), "\r\n\r\n"});
    }
  }
  if (format == PolicyFileFormat::Pol) return pol;
  if (format == PolicyFileFormat::Reg) return Utf16WithMark(text + "\r\n");
  return Bytes(text.begin(), text.end());
}

ImportedPolicies ImportPolicies(PolicyFileFormat format, bool allUsers, Bytes file) {
  Importer importer(allUsers);
  switch (format) {
    case PolicyFileFormat::Pol:
      return importer.Pol(std::move(file));
    case PolicyFileFormat::Reg:
      return importer.Reg(file);
    case PolicyFileFormat::Lgpo:
      break;
  }
  return importer.Lgpo(file);
}

}  // namespace polvane
