// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what the phone is told of the working settings: a described block as JSON, and the
// fields that changed between two blocks.
#include "remote/field_changes.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

namespace kdsp::remote {
namespace {

std::string Compact(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

TEST(FieldChanges, JsonTextsAsValues) {
  struct Case {
    const char* json;
    QJsonValue value;
  };
  const Case cases[] = {
      {"40", 40},
      {"-3.5", -3.5},
      {"true", true},
      {"\"BGM\"", "BGM"},
      {R"({"level":12,"muted":false})", QJsonObject{{"level", 12}, {"muted", false}}},
      {"", QJsonValue()},
      {"1 2", QJsonValue()},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonValueOf(c.json), c.value) << c.json;
}

TEST(FieldChanges, EveryFieldOfTheBlockByName) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  block.masterMusic = 33;
  block.mix[0][1] = 0x80 | 12;
  block.musicInput = 2;
  const QJsonObject fields = FieldsObject(settings::DescribeBlock(block));
  EXPECT_EQ(fields.size(), static_cast<qsizetype>(settings::DescribeBlock(block).size()));
  EXPECT_EQ(fields.value("masterMusic"), 33);
  EXPECT_EQ(fields.value("mix[main][mic]"), (QJsonObject{{"level", 12}, {"muted", true}}));
  EXPECT_EQ(fields.value("musicInput"), "DVD");
}

TEST(FieldChanges, OnlyTheFieldsThatDiffer) {
  const settings::ParameterBlock before = settings::FactoryDefaults();
  settings::ParameterBlock after = before;
  EXPECT_TRUE(
      FieldChanges(settings::DescribeBlock(before), settings::DescribeBlock(after)).isEmpty());
  after.masterMusic = static_cast<std::uint8_t>(before.masterMusic + 1);
  after.outputMutes ^= 0x80;
  after.revLevel = 7;
  EXPECT_EQ(Compact(FieldChanges(settings::DescribeBlock(before), settings::DescribeBlock(after))),
            std::string(R"({"masterMusic":)") + std::to_string(after.masterMusic) +
                R"(,"outputMutes.controlMusic":)" +
                ((after.outputMutes & 0x80) ? "false" : "true") + R"(,"revLevel":7})");
}

TEST(FieldChanges, DescriptionsOfOtherFieldsAreComparedByName) {
  const std::vector<settings::FieldValue> before = {{"a", "1", "1"}, {"b", "2", "2"}};
  const std::vector<settings::FieldValue> after = {
      {"b", "2", "2"}, {"c", "3", "3"}, {"a", "1", "1"}};
  EXPECT_EQ(Compact(FieldChanges(before, after)), R"({"c":3})");
}

}  // namespace
}  // namespace kdsp::remote
