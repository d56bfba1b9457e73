#include "rules/RegScript.h"

#include "rules/Ascii.h"
#include "rules/Decimal.h"
#include "rules/LittleEndian.h"

namespace polvane {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view SkipBlanks(std::string_view text) {
  return text.substr(std::min(text.find_first_not_of(kBlanks), text.size()));
}

std::vector<std::string> ScriptLines(const Bytes& file) {
  const std::string text = file.size() >= 2 && file[0] == 0xFF && file[1] == 0xFE
                               ? AsciiFromUtf16(file.data() + 2, file.size() - 2)
                               : std::string(file.begin(), file.end());
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' && text[at] != '\n') continue;
    lines.push_back(text.substr(start, at - start));
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < text.size() || lines.empty()) lines.push_back(text.substr(start));
  return lines;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = AsciiLower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A quoted name or string, from after its opening quote, unescaped as
// regedit does (\n, \r, \\, \", any other character as itself; \0 and a
// backslash at the end are none); text is left after the closing quote.
std::optional<std::string> Unquoted(std::string_view& text) {
  std::string unquoted;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return unquoted;
    }
    if (c == '\\') {
      if (++i == text.size() || text[i] == '0') return std::nullopt;
      c = text[i] == 'n' ? '\n' : text[i] == 'r' ? '\r' : text[i];
    }
    unquoted += c;
  }
  return std::nullopt;
}

// Whether what is left is nothing or a comment.
bool EndsHere(std::string_view text) {
  text = SkipBlanks(text);
  return text.empty() || text[0] == ';';
}

// The bytes of hex: data, from one line and those it goes on to.
class HexData {
 public:
  HexData(const std::vector<std::string>& lines, std::size_t& line) : lines_(lines), line_(line) {}

  // False where regedit cannot read them; the lines they took are passed.
  bool Read(std::string_view text) {
    for (;;) {
      bool goesOn = false;
      if (!ReadLine(text, goesOn)) return false;
      if (!goesOn) return true;
      // The next line with data: blank and comment lines are passed over;
      // at the end of the script the value is what it has.
      for (;;) {
        if (line_ + 1 >= lines_.size()) return true;
        text = SkipBlanks(lines_[++line_]);
        if (!EndsHere(text)) break;
      }
      if (HexValue(text[0]) < 0) return false;
    }
  }

  std::uint32_t size = 0, number = 0;

 private:
  // Bytes of hexadecimal digits, each at most ff, separated by commas; a
  // backslash where the next byte would be goes on to the next line.
  bool ReadLine(std::string_view text, bool& goesOn) {
    while (!text.empty()) {
      text = SkipBlanks(text);
      bool negative = false;
      if (!Consume(text, "+")) negative = Consume(text, "-");
      if (text.size() >= 3 && text[0] == '0' && AsciiLower(text[1]) == 'x' &&
          HexValue(text[2]) >= 0)
        text.remove_prefix(2);
      std::size_t digits = 0;
      std::uint32_t byte = 0;
      for (; digits < text.size() && HexValue(text[digits]) >= 0; ++digits) {
        byte = byte << 4 | static_cast<std::uint32_t>(HexValue(text[digits]));
        if (byte > 0xFF) return false;
      }
      if (digits == 0) {
        if (Consume(text, "\\")) return goesOn = EndsHere(text);
        return !text.empty() && text[0] == ';';
      }
      if (negative && byte != 0) return false;
      if (size < 4) number |= byte << 8 * size;
      ++size;
      text.remove_prefix(digits);
      if (!text.empty() && text[0] != ',') return EndsHere(text);
      if (!text.empty()) text.remove_prefix(1);
    }
    return true;
  }

  const std::vector<std::string>& lines_;
  std::size_t& line_;
};

RegStep Step(RegStep::Kind kind, std::string key = {}) {
  RegStep step;
  step.kind = kind;
  step.key = std::move(key);
  return step;
}

RegStep Unreadable(const char* what) {
  RegStep step;
  step.what = what;
  return step;
}

RegStep Set(std::uint32_t type, std::uint32_t size, std::uint32_t number) {
  RegStep step = Step(RegStep::Kind::SetValue);
  step.type = type;
  step.size = size;
  step.number = number;
  return step;
}

// The data after a value's "=", with the blanks around it gone.
RegStep ValueData(std::string_view data, const std::vector<std::string>& lines, std::size_t& line) {
  using Kind = RegStep::Kind;
  RegStep step = Unreadable("data regedit cannot read");
  if (Consume(data, "-")) {
    if (EndsHere(data)) step.kind = Kind::DeleteValue;
    return step;
  }
  if (Consume(data, "\"")) {
    if (Unquoted(data) && EndsHere(data)) step = Set(1, 0, 0);
    return step;
  }
  if (Consume(data, "dword:")) {
    data = SkipBlanks(data);
    const std::size_t digits = std::min(data.find_first_not_of(kHexDigits), data.size());
    if (data.empty() || digits > 8 || !EndsHere(data.substr(digits))) return step;
    step = Set(4, 4, ParseHexadecimal(data.substr(0, digits)).value_or(0));
    return step;
  }
  std::uint32_t type = 3;
  if (Consume(data, "hex(")) {
    // A number as wcstoul reads it in base 16, but for "0x", then "):".
    data = SkipBlanks(data);
    Consume(data, "+");
    if (data.size() > 1 && AsciiLower(data[1]) == 'x') return step;
    const std::size_t digits = std::min(data.find_first_not_of(kHexDigits), data.size());
    const std::optional<std::uint32_t> number = ParseHexadecimal(data.substr(0, digits));
    data.remove_prefix(digits);
    if (!number || !Consume(data, "):")) return step;
    type = *number;
  } else if (!Consume(data, "hex:")) {
    return step;
  }
  HexData hex(lines, line);
  if (data.empty() || hex.Read(data)) step = Set(type, hex.size, hex.number);
  return step;
}

}  // namespace

std::optional<std::string> ResolvedRegKey(std::string_view path) {
  for (const char* root : {"HKEY_LOCAL_MACHINE", "HKEY_USERS", "HKEY_CLASSES_ROOT",
                           "HKEY_CURRENT_CONFIG", "HKEY_CURRENT_USER", "HKEY_DYN_DATA"}) {
    const std::string_view name = root;
    if (path.size() < name.size() || !SameIgnoringCase(path.substr(0, name.size()), name)) continue;
    std::string_view rest = path.substr(name.size());
    if (!rest.empty() && !Consume(rest, "\\")) continue;
    const std::optional<std::string> below = ResolvedKeyPath(rest);
    if (!below) return std::nullopt;
    return below->empty() ? std::string(root) : Joined({root, "\\", *below});
  }
  return std::nullopt;
}

RegScript ReadRegScript(const Bytes& file) {
  using Kind = RegStep::Kind;
  const std::vector<std::string> lines = ScriptLines(file);
  const std::string_view header = SkipBlanks(lines[0]);
  if (header != "Windows Registry Editor Version 5.00" && header != "REGEDIT4")
    return {Joined({"Not a registry script: line 1 is neither \"Windows Registry Editor Version "
                    "5.00\" nor \"REGEDIT4\"."}),
            {}};
  RegScript script;
  const auto add = [&script](RegStep step, std::size_t line) {
    step.line = line + 1;
    script.steps.push_back(std::move(step));
  };
  for (std::size_t line = 1; line < lines.size(); ++line) {
    const std::size_t first = line;
    std::string_view text = SkipBlanks(lines[line]);
    if (EndsHere(text) || text[0] == '#') continue;
    if (Consume(text, "[")) {
      // From the last "]": a line without one, or with a blank first, is no
      // key line, and the open key stays open.
      const std::size_t end = text.rfind(']');
      if (end == std::string_view::npos || text.empty() || text[0] == ' ' || text[0] == '\t') {
        add(Unreadable("no key or value"), first);
        continue;
      }
      std::string_view path = text.substr(0, end);
      add(Step(Kind::CloseKey), first);
      if (!Consume(path, "-")) {
        if (const std::optional<std::string> key = ResolvedRegKey(path))
          add(Step(Kind::OpenKey, *key), first);
        continue;
      }
      if (path.empty() || AsciiLower(path[0]) != 'h') continue;
      const std::optional<std::string> key = ResolvedRegKey(path);
      // regedit gives up on a root it does not know, or a root alone.
      const std::size_t slash = path.find('\\');
      if (slash == std::string_view::npos || slash + 1 == path.size() ||
          (!key && !ResolvedRegKey(path.substr(0, slash))))
        return script;
      if (key) add(Step(Kind::DeleteKey, *key), first);
      continue;
    }
    std::optional<std::string> name;
    if (Consume(text, "@"))
      name = "@";
    else if (Consume(text, "\""))
      name = Unquoted(text);
    text = SkipBlanks(text);
    if (!name || !Consume(text, "=")) {
      add(Unreadable("no key or value"), first);
      continue;
    }
    RegStep step = ValueData(Trim(text, kBlanks), lines, line);
    step.name = *name;
    add(std::move(step), first);
  }
  return script;
}

}  // namespace polvane
