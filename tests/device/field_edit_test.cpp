// SPDX-License-Identifier: GPL-3.0-or-later
// Named-field edits under the program's rules, and the records that carry them, written out.
#include "device/field_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/record_codec.h"

namespace kdsp::device {
namespace {

using settings::ParameterBlock;

std::string Line(const OutgoingCommand& c) {
  const EncodedRecord record(c.code, c.payload());
  const std::string_view text = record.textView();
  return std::string(text.substr(0, text.size() - 2));
}

std::vector<FieldChange> Texts(std::initializer_list<std::pair<const char*, const char*>> list) {
  std::vector<FieldChange> changes;
  for (const auto& [field, value] : list) changes.push_back({field, std::string(value)});
  return changes;
}

struct EditCase {
  const char* what;
  std::vector<FieldChange> changes;
  std::vector<std::string> records;
};

class FieldEditTest : public ::testing::Test {
 protected:
  FieldEditTest() : block(settings::FactoryDefaults()) {
    link.musicMaxVolume = 55;
    link.micMaxVolume = 50;
  }
  std::vector<std::string> recordsFor(const std::vector<FieldChange>& changes) {
    const FieldEditResult r = ApplyFieldEdits(block, changes, LimitsOf(link));
    EXPECT_TRUE(r.ok()) << (r.errors.empty() ? "" : r.errors.front());
    std::vector<std::string> lines;
    for (const OutgoingCommand& c : RecordsForDifference(r.before, r.after, link))
      lines.push_back(Line(c));
    return lines;
  }

  ParameterBlock block;
  LinkState link;
};

TEST_F(FieldEditTest, OneRecordPerChangedCommandInTableOrder) {
  const EditCase cases[] = {
      {"a master", Texts({{"masterMusic", "40"}}), {":A000012837"}},
      {"a band's gain and frequency are one record",
       Texts({{"bands[28].gain", "-3.0"}, {"bands[28].frequency", "800"}}),
       {":A900091CE2FFBF000900010088"}},
      {"a mix cell carries its channel pair",
       Texts({{"mix[main][music]", "40 muted"}}),
       {":A3000300A83280"}},
      {"an output switch", Texts({{"outputMutes.controlMusic", "off"}}), {":AD000180D2"}},
      {"a delay line", Texts({{"outputDelay[main right]", "1.5"}}), {":A400060001DC05000074"}},
      {"two fields of one compressor are one record",
       Texts({{"compressors[1].threshold", "-5"}, {"compressors[1].ratio", "1:4"}}),
       {":AA00090100030204FBFF000049"}},
      {"table order, not the order given",
       Texts({{"revWidth", "10"}, {"masterEffect", "30"}, {"feedbackLevel", "OFF"}}),
       {":A200011E3F", ":A50001005A", ":7200010A83"}},
      {"a value already held sends nothing", Texts({{"masterMic", "30"}}), {}},
  };
  for (const EditCase& c : cases) EXPECT_EQ(recordsFor(c.changes), c.records) << c.what;
}

TEST_F(FieldEditTest, EchoSecondSideFollowsTheFirstByItsOffsets) {
  block.echoA.delay = 200;
  block.echoB.delay = 180;  // Delay L-R 20
  const FieldEditResult moved =
      ApplyFieldEdits(block, Texts({{"echoA.delay", "250"}}), LimitsOf(link));
  ASSERT_TRUE(moved.ok());
  EXPECT_EQ(moved.after.block.echoB.delay, 230);
  EXPECT_EQ(moved.after.values.echoDelayLr, 20);
  std::vector<std::string> lines;
  for (const OutgoingCommand& c : RecordsForDifference(moved.before, moved.after, link))
    lines.push_back(Line(c));
  EXPECT_EQ(lines, (std::vector<std::string>{":AF0002FA0055"}));

  // The second side given is its offset, which its own record carries.
  const FieldEditResult offset =
      ApplyFieldEdits(block, Texts({{"echoB.delay", "210"}}), LimitsOf(link));
  ASSERT_TRUE(offset.ok());
  EXPECT_EQ(offset.after.values.echoDelayLr, -10);
  lines.clear();
  for (const OutgoingCommand& c : RecordsForDifference(offset.before, offset.after, link))
    lines.push_back(Line(c));
  EXPECT_EQ(lines, (std::vector<std::string>{":B20001F657"}));

  const FieldEditResult far = ApplyFieldEdits(block, Texts({{"echoB.delay", "0"}}), LimitsOf(link));
  EXPECT_EQ(far.errors,
            (std::vector<std::string>{
                "echoB.delay: 0 would put the Delay L-R offset at 200, outside -99..99"}));
}

struct RefusalCase {
  const char* what;
  std::vector<FieldChange> changes;
  std::vector<std::string> errors;
};

TEST_F(FieldEditTest, RefusedEditsChangeNothingAndSayWhy) {
  block.micFlags = 0;  // sets apart; the processor reports mode 1 (MIC135 EQ)
  link.micEqChannel = 1;
  const RefusalCase cases[] = {
      {"a master above the maximum volume",
       Texts({{"masterMusic", "56"}}),
       {"masterMusic: 56 is above the music maximum volume, 55"}},
      {"the mic master",
       Texts({{"masterMic", "51"}}),
       {"masterMic: 51 is above the mic maximum volume, 50"}},
      {"a band of the set the mode does not take",
       Texts({{"bands[50].gain", "1.0"}}),
       {"bands[50].gain cannot be set: the Mic Equalizer is in EQ mode 1, which takes bands "
        "0..14"}},
      {"every refusal is told, and the good change is not made alone",
       Texts({{"masterEffect", "10"}, {"nosuch", "1"}, {"revTime", "96"}}),
       {"unknown field 'nosuch' (kdspctl dump lists the fields)", "revTime: '96' is not 0..95"}},
  };
  for (const RefusalCase& c : cases) {
    const FieldEditResult r = ApplyFieldEdits(block, c.changes, LimitsOf(link));
    EXPECT_EQ(r.errors, c.errors) << c.what;
    EXPECT_TRUE(r.after == r.before) << c.what;
  }
}

TEST_F(FieldEditTest, MicBandsGoWithTheModesSet) {
  block.micFlags = 0;
  link.micEqChannel = 2;  // MIC24 EQ: the strips and the records take the second set
  const FieldEditResult r =
      ApplyFieldEdits(block, Texts({{"bands[48].gain", "2.0"}}), LimitsOf(link));
  ASSERT_TRUE(r.ok());
  std::vector<std::string> lines;
  for (const OutgoingCommand& c : RecordsForDifference(r.before, r.after, link))
    lines.push_back(Line(c));
  EXPECT_EQ(lines, (std::vector<std::string>{":A900093014003B0009010100C4"}));
  EXPECT_FALSE(ApplyFieldEdits(block, Texts({{"bands[0].gain", "2.0"}}), LimitsOf(link)).ok());
}

TEST_F(FieldEditTest, AShelfKeepsItsFrequencyLimitWhenItsTypeChanges) {
  block.bands[30].frequency = 300;
  block.bands[31].frequency = 100;
  const FieldEditResult r = ApplyFieldEdits(
      block, Texts({{"bands[30].type", "low shelf"}, {"bands[31].type", "high shelf"}}),
      LimitsOf(link));
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.after.block.bands[30].frequency, 275);  // 4000 Hz
  EXPECT_EQ(r.after.block.bands[31].frequency, 203);  // 1000 Hz
}

TEST_F(FieldEditTest, JsonValuesEditAsTextDoes) {
  std::vector<FieldChange> changes;
  changes.push_back(
      {"mix[main][music]", *settings::ParseJsonValue(R"({"level":40,"muted":true})")});
  EXPECT_EQ(recordsFor(changes), (std::vector<std::string>{":A3000300A83280"}));
}

}  // namespace
}  // namespace kdsp::device
