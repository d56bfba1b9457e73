// Registry.pol, read and written byte for byte against files made by hand.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "rules/RegistryPol.h"

namespace polvane::test {
namespace {

// UTF-16LE of ASCII text, as a Registry.pol holds its characters.
Bytes Wide(const std::string& text) {
  Bytes out;
  for (const char c : text) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

const Bytes kHeader{'P', 'R', 'e', 'g', 1, 0, 0, 0};
const std::string kMessenger = "Software\\Policies\\Microsoft\\Messenger\\Client";

// [key;value;type;size;data], the strings with their terminating zero.
Bytes Record(const std::string& key, const std::string& value, std::uint8_t type,
             const Bytes& data) {
  return Join({Wide("["),
               Wide(key),
               Wide(std::string(1, '\0')),
               Wide(";"),
               Wide(value),
               Wide(std::string(1, '\0')),
               Wide(";"),
               {type, 0, 0, 0},
               Wide(";"),
               {static_cast<std::uint8_t>(data.size()), 0, 0, 0},
               Wide(";"),
               data,
               Wide("]")});
}

const Bytes kOtherProduct =
    Record("Software\\Policies\\Other\\Product", "Setting", 1, Wide(std::string("on\0", 3)));
const Bytes kVideoOn = Record(kMessenger, "DisableVideo", 4, {1, 0, 0, 0});
const Bytes kVideoOff = Record(kMessenger, "DisableVideo", 4, {0, 0, 0, 0});
const Bytes kRunOn = Record(kMessenger, "PreventRun", 4, {1, 0, 0, 0});
const Bytes kVideoDeleted = Record(kMessenger, "**del.DisableVideo", 1, {' ', 0, 0, 0});
// Another policy's records that delete some values of the key, or all.
const Bytes kDeleteList =
    Record(kMessenger, "**DeleteValues", 1, Wide(std::string("Other;disablevideo;\0", 20)));
const Bytes kDeleteAll = Record(kMessenger, "**delvals.", 1, {' ', 0, 0, 0});
// Keys deleted whole: the policies' own key, a key above it, and a sibling.
const Bytes kDeleteClientKey = Record("Software\\Policies\\Microsoft\\Messenger", "**DeleteKeys", 1,
                                      Wide(std::string("Client\0", 7)));
const Bytes kDeleteParentKey = Record("Software\\Policies\\Microsoft", "**DeleteKeys", 1,
                                      Wide(std::string("Other;MESSENGER\0", 16)));
const Bytes kDeleteSiblingKey = Record("Software\\Policies\\Microsoft\\Messenger", "**DeleteKeys",
                                       1, Wide(std::string("ClientX\0", 8)));
const Bytes kSoftVideo = Record(kMessenger, "**soft.DisableVideo", 4, {1, 0, 0, 0});
const Bytes kSecureKey = Record(kMessenger, "**SecureKey", 4, {1, 0, 0, 0});

PolFile Read(const Bytes& bytes) {
  PolRead read = ReadPol(bytes);
  EXPECT_TRUE(read.file) << read.error;
  return read.file ? std::move(*read.file) : PolFile{};
}

TEST(RegistryPol, ReadsEveryRecordAndWhatItSaysOfAValue) {
  const PolFile file = Read(Join({kHeader, kOtherProduct, kVideoOn, kVideoDeleted}));
  ASSERT_EQ(file.records.size(), 3u);
  EXPECT_EQ(file.records[0].key, "Software\\Policies\\Other\\Product");
  EXPECT_EQ(file.records[1].type, 4u);
  EXPECT_EQ(file.records[1].offset, kHeader.size() + kOtherProduct.size());
  EXPECT_EQ(file.records[1].length, kVideoOn.size());
  EXPECT_TRUE(ReadPol({}).file);  // no file yet: nothing configured

  // The records apply in order, as the engine applies them: the last one
  // that touches the value says what it is.
  using State = PolSetting::State;
  const std::pair<Bytes, PolSetting> found[] = {
      {kVideoOn, {State::Number, 1}},
      {Join({kVideoOn, kVideoDeleted}), {State::Deleted}},
      {Join({kVideoDeleted, kVideoOff}), {State::Number, 0}},
      {Join({kVideoOn, kDeleteList}), {State::Deleted}},
      {Join({kDeleteAll, kVideoOn}), {State::Number, 1}},
      {Join({kVideoOn, kDeleteAll}), {State::Deleted}},
      {Join({kRunOn, Record(kMessenger, "DisableVideo", 1, Wide(std::string("1\0", 2)))}),
       {State::Other}},
      {Join({kRunOn, kOtherProduct}), {State::NotConfigured}},
      {Join({kVideoOn, kDeleteClientKey}), {State::Deleted}},
      {Join({kVideoOn, kDeleteParentKey}), {State::Deleted}},
      {Join({kVideoOn, kDeleteSiblingKey, kSecureKey}), {State::Number, 1}},
      {kSoftVideo, {State::NumberIfMissing, 1}},  // as the registry stands when applied
      {Join({kVideoOff, kSoftVideo}), {State::Number, 0}},
      {Join({kVideoDeleted, kSoftVideo}), {State::Number, 1}},
      // The key as the registry resolves it: empty names passed over, any case.
      {Record("software\\\\Policies\\Microsoft\\Messenger\\CLIENT\\", "DisableVideo", 4,
              {1, 0, 0, 0}),
       {State::Number, 1}},
      {Record("\\Software\\Policies\\Microsoft\\Messenger\\Client", "DisableVideo", 4,
              {1, 0, 0, 0}),
       {State::NotConfigured}},
      {Record("Software\\Policies\\Microsoft\\Messenger\\Client\\X", "DisableVideo", 4,
              {1, 0, 0, 0}),
       {State::NotConfigured}},
  };
  for (const auto& [records, expected] : found) {
    const PolSetting video =
        FindPolValue(Read(Join({kHeader, records})), kMessenger, "disablevideo");
    EXPECT_EQ(video.state, expected.state) << records.size();
    EXPECT_EQ(video.number, expected.number) << records.size();
  }
}

TEST(RegistryPol, RefusesWhatIsNoRegistryPolSayingWhere) {
  const Bytes whole = Join({kHeader, kOtherProduct, kVideoOn});
  const std::pair<Bytes, std::string> refused[] = {
      {Bytes{'P', 'R', 'e', 'g', 2, 0, 0, 0}, "it does not start with PReg, version 1"},
      {Bytes{'P', 'R', 'e'}, "it does not start with PReg"},
      {Bytes(whole.begin(), whole.end() - 1), "a record that does not end with ']' at byte"},
      {Bytes(whole.begin(), whole.end() - 4), "the file ends inside a record's data"},
      {Bytes(whole.begin(), whole.begin() + 20), "the file ends inside its key"},
      {Join({kHeader, Wide("x")}), "a record that does not start with '[' at byte 8"},
      {Join({kHeader, Record("", "V", 4, {0, 0, 0, 0})}), "a record with an empty key"},
  };
  for (const auto& [bytes, why] : refused) {
    const PolRead read = ReadPol(bytes);
    EXPECT_FALSE(read.file) << why;
    EXPECT_NE(read.error.find(why), std::string::npos) << read.error;
  }
}

TEST(RegistryPol, WritingOneValueKeepsEveryOtherRecordByteForByteInItsOrder) {
  using State = PolSetting::State;
  const Bytes file = Join({kHeader, kOtherProduct, kVideoOn, kRunOn});
  struct Case {
    const char* what;
    Bytes before;
    std::string value;
    PolSetting setting;
    Bytes after;
  };
  const Case cases[] = {
      {"replaced where it stands",
       file,
       "DisableVideo",
       {State::Number, 0},
       Join({kHeader, kOtherProduct, kVideoOff, kRunOn})},
      {"a deletion replaced by a number",
       Join({kHeader, kVideoDeleted, kOtherProduct}),
       "DisableVideo",
       {State::Number, 1},
       Join({kHeader, kVideoOn, kOtherProduct})},
      {"a number marked deleted",
       file,
       "DisableVideo",
       {State::Deleted},
       Join({kHeader, kOtherProduct, kVideoDeleted, kRunOn})},
      {"not configured: every record of it gone",
       Join({file, kVideoDeleted}),
       "DisableVideo",
       {State::NotConfigured},
       Join({kHeader, kOtherProduct, kRunOn})},
      {"a new value comes last",
       Join({kHeader, kOtherProduct}),
       "DisableVideo",
       {State::Number, 1},
       Join({kHeader, kOtherProduct, kVideoOn})},
      {"a new file", {}, "PreventRun", {State::Number, 1}, Join({kHeader, kRunOn})},
      {"after another policy's record that deletes it",
       Join({kHeader, kVideoOff, kDeleteList, kRunOn}),
       "DisableVideo",
       {State::Number, 1},
       Join({kHeader, kDeleteList, kVideoOn, kRunOn})},
      {"after a **DeleteKeys of a key above it",
       Join({kHeader, kVideoOff, kDeleteParentKey, kRunOn}),
       "DisableVideo",
       {State::Number, 1},
       Join({kHeader, kDeleteParentKey, kVideoOn, kRunOn})},
      {"not configured: its **soft. record gone too",
       Join({kHeader, kSoftVideo, kRunOn}),
       "DisableVideo",
       {State::NotConfigured},
       Join({kHeader, kRunOn})},
      {"not configured keeps another policy's deletions",
       Join({kHeader, kDeleteAll, kVideoOn}),
       "DisableVideo",
       {State::NotConfigured},
       Join({kHeader, kDeleteAll})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithPolValue(Read(c.before), kMessenger, c.value, c.setting), c.after) << c.what;
  }
}

}  // namespace
}  // namespace polvane::test
