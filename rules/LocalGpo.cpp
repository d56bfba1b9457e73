#include "rules/LocalGpo.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "rules/Ascii.h"
#include "rules/Decimal.h"

namespace polvane {
namespace {

// The registry client-side extension, and the tool that writes through it
// for each part: the administrative templates of the computer and of users.
constexpr std::string_view kRegistryExtension = "{35378EAC-683F-11D2-A89A-00C04FBBCFA2}";
constexpr std::string_view kMachineTool = "{D02B1F72-3407-48AE-BA88-E8213C6761F1}";
constexpr std::string_view kUserTool = "{D02B1F73-3407-48AE-BA88-E8213C6761F1}";

// names, "[{extension}{tool}...][...]", with tool in the registry extension's
// list: in the sorted place, among lists sorted by their extension's GUID as
// the editor keeps them, the order of the others left as it is. Nothing
// when names are no such list.
std::optional<std::string> WithExtension(std::string names, std::string_view tool) {
  constexpr std::size_t kNowhere = std::string::npos;
  const std::string lower = AsciiLower(names), extension = AsciiLower(kRegistryExtension),
                    ownTool = AsciiLower(tool);
  std::size_t newList = kNowhere, newTool = kNowhere;  // where each would go
  bool found = false;
  for (std::size_t at = 0; at < names.size(); ++at) {
    if (names[at++] != '[') return std::nullopt;
    const std::size_t list = at;
    bool ours = false;
    while (at < names.size() && names[at] == '{') {
      const std::size_t close = names.find('}', at);
      if (close == kNowhere) return std::nullopt;
      const std::string_view guid = std::string_view(lower).substr(at, close + 1 - at);
      if (at == list) {
        ours = !found && guid == extension;
        found = found || ours;
        if (!found && newList == kNowhere && extension < guid) newList = at - 1;
      } else if (ours && newTool == kNowhere) {
        if (guid == ownTool) return names;
        if (ownTool < guid) newTool = at;
      }
      at = close + 1;
    }
    if (at == list || at == names.size() || names[at] != ']') return std::nullopt;
    if (ours && newTool == kNowhere) newTool = at;
  }
  if (found) return names.insert(newTool, tool);
  return names.insert(newList == kNowhere ? names.size() : newList,
                      "[" + std::string(kRegistryExtension) + std::string(tool) + "]");
}

std::uint32_t Bumped(std::uint32_t version, bool machine) {
  const int shift = machine ? 0 : 16;
  std::uint32_t part = (version >> shift & 0xFFFF) + 1;
  if (part > 0xFFFF) part = 1;  // 0 would say the part holds nothing
  return (version & ~(0xFFFFu << shift)) | part << shift;
}

// The [General] section of an .ini file's text, read and changed in place.
// Lines end at CR LF, LF or CR, as Windows' profile reader takes them; a
// line Polvane adds ends as the line before it does, or the file's first.
class GeneralSection {
 public:
  explicit GeneralSection(std::string text) : text_(std::move(text)) {
    if (const std::size_t end = text_.find_first_of("\r\n"); end != kNone)
      eol_ = text_.compare(end, 2, "\r\n") == 0 ? "\r\n" : text_.substr(end, 1);
    if (text_.empty()) text_ = Joined({"[General]", eol_, "gPCFunctionalityVersion=2", eol_});
    for (std::size_t at = 0; at < text_.size(); at = NextLine(at))
      if (AsciiLower(Trim(Line(at))) == "[general]") {
        begin_ = NextLine(at);
        return;
      }
    EndLastLine();
    text_ += Joined({"[General]", eol_});
    begin_ = text_.size();
  }

  std::optional<std::string> Get(std::string_view key) const {
    const std::size_t line = Find(key);
    if (line == kNone) return std::nullopt;
    const std::string_view content = Line(line);
    return std::string(Trim(content.substr(content.find('=') + 1)));
  }

  void Set(std::string_view key, const std::string& value) {
    std::size_t at = Find(key);
    if (at != kNone) {
      const std::size_t equals = text_.find('=', at) + 1;
      text_.replace(equals, Line(at).size() - (equals - at), value);
      return;
    }
    // After the section's last line that is not blank.
    at = begin_;
    for (std::size_t line = begin_, end = End(); line < end; line = NextLine(line))
      if (!Trim(Line(line)).empty()) at = NextLine(line);
    if (at == text_.size()) {
      EndLastLine();
      at = text_.size();
    }
    text_.insert(at, Joined({key, "=", value, BreakBefore(at)}));
  }

  const std::string& Text() const { return text_; }

 private:
  static constexpr std::size_t kNone = std::string::npos;

  std::size_t NextLine(std::size_t at) const { return LineAt(text_, at).next; }
  std::string_view Line(std::size_t at) const { return LineAt(text_, at).content; }

  // Where the next section's header starts, or the text's end.
  std::size_t End() const {
    std::size_t at = begin_;
    while (at < text_.size() && Trim(Line(at)).substr(0, 1) != "[") at = NextLine(at);
    return at;
  }

  std::size_t Find(std::string_view key) const {
    for (std::size_t at = begin_, end = End(); at < end; at = NextLine(at)) {
      const std::string_view line = Line(at);
      const std::size_t equals = line.find('=');
      if (equals != kNone && SameIgnoringCase(Trim(line.substr(0, equals)), key)) return at;
    }
    return kNone;
  }

  // The line break that ends the line before at, so that a line added
  // there ends as its neighbour does and never joins the next line's break.
  std::string_view BreakBefore(std::size_t at) const {
    if (at == 0 || (text_[at - 1] != '\n' && text_[at - 1] != '\r')) return eol_;
    if (text_[at - 1] == '\r') return "\r";
    return at > 1 && text_[at - 2] == '\r' ? "\r\n" : "\n";
  }

  void EndLastLine() {
    if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') text_ += eol_;
  }

  std::string text_;
  std::string eol_ = "\r\n";
  std::size_t begin_ = 0;  // the section's first line, after its header
};

}  // namespace

std::string GpoPartFolder(const std::string& folder, bool machine) {
  return folder + (machine ? "\\Machine" : "\\User");
}

std::string GpoPolicyFile(const std::string& folder, bool machine) {
  return GpoPartFolder(folder, machine) + "\\Registry.pol";
}

std::string GpoIniFile(const std::string& folder) { return folder + "\\gpt.ini"; }

IniUpdate UpdateGptIni(const Bytes& ini, bool machine) {
  // Text in one byte a character never holds a zero byte; UTF-16 does, with
  // its byte-order mark or without.
  if (std::find(ini.begin(), ini.end(), 0) != ini.end() ||
      (ini.size() >= 2 &&
       ((ini[0] == 0xFF && ini[1] == 0xFE) || (ini[0] == 0xFE && ini[1] == 0xFF))))
    return {{}, "gpt.ini is UTF-16 text, which Polvane does not edit."};
  // Windows' profile reader takes a UTF-8 byte-order mark as the encoding,
  // not as part of the first line: it stays, and [General] is found after it.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  std::string text(ini.begin(), ini.end());
  const bool marked = text.starts_with(kUtf8Mark);
  if (marked) text.erase(0, kUtf8Mark.size());
  GeneralSection lines(std::move(text));
  const std::optional<std::string> version = lines.Get("Version");
  const std::optional<std::uint32_t> number = version ? ParseDecimal(*version) : 0;
  if (!number)
    return {{}, Joined({"gpt.ini's Version, ", Printable(*version), ", is not a number."})};
  const char* const namesKey = machine ? "gPCMachineExtensionNames" : "gPCUserExtensionNames";
  const std::optional<std::string> names =
      WithExtension(lines.Get(namesKey).value_or(""), machine ? kMachineTool : kUserTool);
  if (!names) return {{}, Joined({"gpt.ini's ", namesKey, " is not a list of [{GUID}...]."})};
  lines.Set(namesKey, *names);
  lines.Set("Version", Decimal(Bumped(*number, machine)));
  const std::string updated = Joined({marked ? kUtf8Mark : "", lines.Text()});
  return {Bytes(updated.begin(), updated.end()), {}};
}

}  // namespace polvane
