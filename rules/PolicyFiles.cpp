#include "rules/PolicyFiles.h"

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LittleEndian.h"
#include "rules/PolicyTable.h"
#include "seams/RegistryApi.h"

namespace polvane {
namespace {

constexpr char kRegHeader[] = "Windows Registry Editor Version 5.00";

bool IsPolicyKey(const std::string& key) { return SameIgnoringCase(key, kPolicyKeyPath); }

std::string RootName(bool allUsers) {
  return allUsers ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

// Text as UTF-16LE with its byte-order mark, as regedit writes it.
Bytes Utf16WithMark(const std::string& text) {
  Bytes out{0xFF, 0xFE};
  for (const char c : text) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
  return out;
}

// A text file's lines: UTF-16LE with its mark, or else bytes as they are;
// line ends CR LF or LF.
std::vector<std::string> LinesOf(const Bytes& file) {
  std::string text;
  if (file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE) {
    text = AsciiFromUtf16(file.data() + 2, file.size() - 2);
  } else {
    text.assign(file.begin(), file.end());
  }
  std::vector<std::string> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::optional<std::uint32_t> Hex(const std::string& digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t number = 0;
  for (const char c : digits) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
    if (digit < 0) return std::nullopt;
    number = number << 4 | static_cast<std::uint32_t>(digit);
  }
  return number;
}

class Importer {
 public:
  explicit Importer(bool allUsers) : allUsers_(allUsers) {}

  ImportedPolicies Pol(const Bytes& file) {
    const PolRead read = ReadPol(file);
    if (!read.file) return Error(read.error);
    // In order, as the Group Policy engine applies them: a later record wins.
    for (const PolRecord& record : read.file->records) {
      bool taken = false;
      for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
        const PolEffect effect = EffectOn(record, kPolicyKeyPath, kPolicyTable[row].valueName);
        if (effect == PolEffect::Deletes) {
          Take(row, std::nullopt);
        } else if (effect == PolEffect::Sets && record.type == kRegDword &&
                   record.data.size() == 4) {
          Take(row, DwordAt(record.data.data()));
        } else {
          continue;
        }
        taken = true;
      }
      if (!taken) Skip(record.key + "\\" + record.value);
    }
    return result_;
  }

  ImportedPolicies Reg(const Bytes& file) {
    const std::vector<std::string> lines = LinesOf(file);
    if (lines.empty() || lines[0] != kRegHeader)
      return Error("Not a registry script: its first line is not \"" + std::string(kRegHeader) +
                   "\".");
    const std::string ours = AsciiLower(RootName(allUsers_) + "\\" + kPolicyKeyPath);
    std::string key;
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (line.empty() || line[0] == ';') continue;
      if (line.front() == '[') {
        if (line.back() != ']')
          return Error("Not a registry script: line " + Line(i) +
                       " opens a key it does not close.");
        key = line.substr(1, line.size() - 2);
        continue;
      }
      const std::size_t close = line.find("\"=");
      if (line[0] != '"' || close == std::string::npos)
        return Error("Not a registry script: line " + Line(i) + " is no value.");
      const std::string name = line.substr(1, close - 1), data = line.substr(close + 2);
      const auto row = RowNamed(name);
      if (AsciiLower(key) != ours || !row) {
        Skip(key + "\\" + name);
      } else if (data == "-") {
        Take(*row, std::nullopt);
      } else if (data.rfind("dword:", 0) == 0 && Hex(data.substr(6))) {
        Take(*row, *Hex(data.substr(6)));
      } else {
        Skip(key + "\\" + name + " (not a dword)");
      }
    }
    return result_;
  }

  ImportedPolicies Lgpo(const Bytes& file) {
    std::vector<std::string> fields;
    const std::vector<std::string> lines = LinesOf(file);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      if (line.empty() || line[0] == ';') continue;
      fields.push_back(line);
      if (fields.size() < 4) continue;
      const std::string scope = AsciiLower(fields[0]);
      if (scope != "computer" && scope != "user")
        return Error("Not an LGPO text file: line " + Line(i - 3) +
                     " is neither Computer nor User.");
      const auto row = RowNamed(fields[2]);
      const std::string named = fields[0] + " " + fields[1] + "\\" + fields[2];
      if ((scope == "computer") != allUsers_ || !IsPolicyKey(fields[1]) || !row) {
        Skip(named);
      } else if (AsciiLower(fields[3]) == "delete") {
        Take(*row, std::nullopt);
      } else if (AsciiLower(fields[3]).rfind("dword:", 0) == 0 &&
                 ParseDecimal(fields[3].substr(6))) {
        Take(*row, *ParseDecimal(fields[3].substr(6)));
      } else {
        Skip(named + " (" + fields[3] + ")");
      }
      fields.clear();
    }
    if (!fields.empty()) return Error("Not an LGPO text file: it ends inside a record.");
    return result_;
  }

 private:
  static std::string Line(std::size_t index) {
    return Decimal(static_cast<std::int64_t>(index + 1));
  }

  ImportedPolicies Error(const std::string& what) {
    ImportedPolicies failed;
    failed.error = Printable(what);
    return failed;
  }
  void Take(std::size_t row, std::optional<std::uint32_t> value) { result_.values[row] = value; }
  void Skip(const std::string& what) { result_.skipped.push_back(Printable(what)); }

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
  std::string text;
  PolFile pol;
  Bytes bytes;
  if (format == PolicyFileFormat::Reg)
    text = std::string(kRegHeader) + "\r\n\r\n[" + RootName(allUsers) + "\\" + kPolicyKeyPath +
           "]\r\n";
  for (std::size_t row = 0; row < kPolicyTable.size(); ++row) {
    const std::string name = kPolicyTable[row].valueName;
    const std::optional<std::uint32_t>& value = values[row];
    switch (format) {
      case PolicyFileFormat::Pol: {
        const PolSetting setting = value ? PolSetting{PolSetting::State::Number, *value}
                                         : PolSetting{PolSetting::State::Deleted};
        bytes = WithPolValue(pol, kPolicyKeyPath, name, setting);
        pol = *ReadPol(bytes).file;
        break;
      }
      case PolicyFileFormat::Reg:
        // regedit writes a dword's eight hexadecimal digits in lower case.
        text += '"';
        text += name;
        text += value ? "\"=dword:" + AsciiLower(Hexadecimal(*value, 8)) : "\"=-";
        text += "\r\n";
        break;
      case PolicyFileFormat::Lgpo:
        text += allUsers ? "Computer\r\n" : "User\r\n";
        text += kPolicyKeyPath;
        text += "\r\n";
        text += name;
        text += value ? "\r\nDWORD:" + Decimal(*value) : "\r\nDELETE";
        text += "\r\n\r\n";
        break;
    }
  }
  if (format == PolicyFileFormat::Pol) return bytes;
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
