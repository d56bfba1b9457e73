// Fuzzes the policy file readers. The same bytes go to each format's
// importer, which refuses them with a reason and takes nothing, or takes
// what they say, naming each thing it skips on one line. As a Registry.pol
// they are read or refused with a reason; a file that is read can have a
// value set in it, and the result reads again with the value so, even where
// another record deletes it, and every other record as it was, in order.
// Writing two values in one pass gives the file that writing them in turn
// gives, and what is found once written, and whether a write changes the
// file, are known without making it.
//   pol_fuzzer [-max_total_time=N] WORK_DIR tests/fuzz/corpus/pol
#include <cstdlib>
#include <string>
#include <vector>

#include "rules/Ascii.h"
#include "rules/PolicyFiles.h"
#include "rules/RegistryPol.h"

namespace polvane {
namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

constexpr char kKey[] = "Software\\Policies\\Microsoft\\Messenger\\Client";

}  // namespace
}  // namespace polvane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace polvane;
  for (const auto format : {PolicyFileFormat::Pol, PolicyFileFormat::Reg, PolicyFileFormat::Lgpo}) {
    const ImportedPolicies imported =
        ImportPolicies(format, size % 2 != 0, Bytes(data, data + size));
    for (const auto& value : imported.values) Require(imported.error.empty() || !value);
    Require(imported.error.empty() || imported.notes.empty());
    for (const std::string& note : imported.notes) Require(note.find('\n') == std::string::npos);
  }
  const PolRead read = ReadPol(Bytes(data, data + size));
  if (!read.file) {
    Require(!read.error.empty());
    return 0;
  }
  const PolFile& file = *read.file;
  for (const PolRecord& record : file.records)
    Require(record.offset + record.length <= file.bytes.size() && !record.key.empty());

  const PolSetting one{PolSetting::State::Number, static_cast<std::uint32_t>(size)};
  const PolRead written = ReadPol(WithPolValue(file, kKey, "DisableVideo", one));
  Require(written.file.has_value());
  const PolSetting found = FindPolValue(*written.file, kKey, "DisableVideo");
  Require(found.state == PolSetting::State::Number && found.number == one.number);
  // Every other record, byte for byte and in its order.
  const auto others = [](const PolFile& of) {
    std::vector<Bytes> kept;
    for (const PolRecord& record : of.records) {
      // The value's own records go; one of another value that deletes it stays.
      const PolEffect effect = EffectOn(record, kKey, "DisableVideo");
      if (effect == PolEffect::Sets || effect == PolEffect::SetsIfMissing ||
          (effect == PolEffect::Deletes && AsciiLower(record.value) == "**del.disablevideo"))
        continue;
      const auto begin = of.bytes.begin() + static_cast<std::ptrdiff_t>(record.offset);
      kept.emplace_back(begin, begin + static_cast<std::ptrdiff_t>(record.length));
    }
    return kept;
  };
  Require(others(file) == others(*written.file));

  // Two of the five at once, as /gpo writes them: the same as in turn.
  const PolSetting states[] = {{}, {PolSetting::State::Deleted}, one};
  const PolValueSetting two[] = {{"PreventRun", states[size % 3]},
                                 {"DisableVideo", states[(size / 3) % 3]}};
  Bytes inTurn = file.bytes;
  for (const PolValueSetting& change : two) {
    const PolRead before = ReadPol(inTurn);
    const Bytes after = WithPolValue(*before.file, kKey, change.value, change.setting);
    const PolRead reread = ReadPol(after);
    const bool differs =
        reread.file->records.empty() ? !before.file->records.empty() : after != before.file->bytes;
    const PolSetting was = FindPolValue(*before.file, kKey, change.value);
    const bool same = was.state == change.setting.state && was.number == change.setting.number &&
                      was.type == change.setting.type;
    // A change of setting changes the file unless it only removes records
    // the file does not hold.
    if (!same)
      Require(differs == (change.setting.state != PolSetting::State::NotConfigured ||
                          HasRecordOf(*before.file, kKey, change.value)));
    const PolSetting once =
        FindPolValueOnceWritten(*before.file, kKey, change.value, change.setting);
    const PolSetting again = FindPolValue(*reread.file, kKey, change.value);
    Require(once.state == again.state && once.number == again.number && once.type == again.type);
    inTurn = after;
  }
  Require(WithPolValues(file, kKey, {two[0], two[1]}) == inTurn);
  return 0;
}
