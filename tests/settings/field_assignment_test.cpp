// SPDX-License-Identifier: GPL-3.0-or-later
// Giving block fields values in dump's units, as text and as JSON, and the ranges offered.
#include "settings/field_assignment.h"

#include <gtest/gtest.h>

#include "settings/block_fields.h"
#include "settings/json_value.h"

namespace kdsp::settings {
namespace {

std::int64_t Stored(const ParameterBlock& block, std::string_view name) {
  const FieldEntry* f = FindField(name);
  EXPECT_NE(f, nullptr) << name;
  return f == nullptr ? -1 : ReadStored(*f, block);
}

JsonValue Json(std::string_view text) {
  const auto value = ParseJsonValue(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value.value_or(JsonValue{});
}

struct TextCase {
  const char* field;
  const char* text;
  std::int64_t stored;
};

TEST(FieldAssignmentTest, TextInDumpUnitsGivesTheStoredValue) {
  const TextCase cases[] = {
      {"masterMusic", "40", 40},
      {"feedbackLevel", "OFF", 0},
      {"feedbackLevel", "3", 3},
      {"musicInput", "dvd", 2},
      {"mix[main][music]", "40 muted", 0x80 | 40},
      {"mix[center][rev]", "12", 12},
      {"bands[28].gain", "-3.0", -30},
      {"bands[28].gain", "+12 dB", 120},
      {"bands[28].frequency", "1000", 203},
      {"bands[28].frequency", "1k", 203},
      {"bands[28].frequency", "800", 191},
      {"bands[28].frequency", "809 Hz", 192},
      {"bands[28].frequency", "step 12", 12},
      {"bands[28].frequency", "125.00 Hz [ 125] (step 95)", 95},
      {"bands[28].bandwidth", "0.50", 9},
      {"bands[28].bandwidth", "3.00 oct", 59},
      {"bands[28].type", "High Shelf", 2},
      {"bands[28].on", "off", 0},
      {"filters[5].frequency", "OFF", 0},
      {"filters[7].frequency", "off", 359},
      {"filters[9].family", "Bessel", 1},
      {"filters[9].order", "18 dB/oct", 1},
      {"compressors[2].threshold", "-20", -20},
      {"compressors[1].ratio", "1:INF", 11},
      {"compressors[1].release", "16X", 3},
      {"compressors[1].attack", "5ms", 2},
      {"outputDelay[center]", "12.34", 12340},
      {"outputDelay[subwoofer]", "100.00 ms", 100000},
      {"outputMutes.controlMusic", "off", 0x80},
      {"outputMutes.main left", "on", 0},
      {"micFlags.mic13Polarity", "inverted", 0x08},
      {"echoA.delay", "250", 250},
      {"echoB.preDelay", "40", 40},
      {"revTime", "95", 95},
      {"subDecay", "OFF", 0},
      {"echoDirect", "80", 80},
  };
  for (const TextCase& c : cases) {
    ParameterBlock block = FactoryDefaults();
    const AssignResult result = AssignText(block, c.field, c.text);
    EXPECT_TRUE(result.ok()) << c.field << "=" << c.text << ": " << result.error;
    EXPECT_EQ(Stored(block, c.field), c.stored) << c.field << "=" << c.text;
  }
}

TEST(FieldAssignmentTest, SevenBitLevelsKeepTheirByteTopBit) {
  ParameterBlock block = FactoryDefaults();
  block.echoDirect = 0x80 | 10;
  ASSERT_TRUE(AssignText(block, "echoDirect", "70").ok());
  EXPECT_EQ(block.echoDirect, 0x80 | 70);
}

struct RefusalCase {
  const char* field;
  const char* text;
  const char* message;
};

TEST(FieldAssignmentTest, RefusalsNameTheFieldAndLeaveTheBlockAlone) {
  const RefusalCase cases[] = {
      {"nosuch", "1", "unknown field 'nosuch' (kdspctl dump lists the fields)"},
      {"checksum", "0", "checksum cannot be set: it is computed from the other bytes"},
      {"marker", "0xF1", "marker cannot be set: it tells a parameter block from other data"},
      {"bands[0].spare", "00",
       "bands[0].spare cannot be set: the processor keeps these bytes as it finds them"},
      {"filters[0].family", "Bessel",
       "filters[0].family cannot be set: this filter's page has no family or slope knob"},
      {"filters[3].direction", "low-pass",
       "filters[3].direction cannot be set: each filter's direction is its page's"},
      {"echoB.level", "3", "echoB.level cannot be set: the echo has one level and repeat, echoA's"},
      {"micFlags.setsLinked", "on",
       "micFlags.setsLinked cannot be set: it follows the Mic Equalizer's EQ mode"},
      {"masterMusic", "61", "masterMusic: '61' is not 0..60"},
      {"masterMusic", "4.5", "masterMusic: '4.5' is not 0..60"},
      {"feedbackLevel", "6", "feedbackLevel: '6' is not OFF or 1..5"},
      {"bands[28].gain", "-3.05", "bands[28].gain: '-3.05' is not -24.0..+12.0 dB"},
      {"bands[28].gain", "12.5", "bands[28].gain: '12.5' is not -24.0..+12.0 dB"},
      {"bands[28].frequency", "30000", "bands[28].frequency: '30000' is not 20.07..22159 Hz"},
      {"bands[28].frequency", "OFF", "bands[28].frequency: 'OFF' is not 20.07..22159 Hz"},
      {"filters[5].frequency", "step 360",
       "filters[5].frequency: 'step 360' is not 20.07..22159 Hz or OFF"},
      {"bands[28].bandwidth", "0.52",
       "bands[28].bandwidth: '0.52' is not 0.05..3.00 oct in steps of 0.05"},
      {"bands[28].type", "notch",
       "bands[28].type: 'notch' is not one of peaking, low shelf or high shelf"},
      {"bands[28].on", "yes", "bands[28].on: 'yes' is not on or off"},
      {"mix[main][mic]", "51",
       "mix[main][mic]: '51' is not a level 0..50, muted or not (\"40\", \"40 muted\")"},
      {"outputDelay[center]", "100.01",
       "outputDelay[center]: '100.01' is not 0.00..100.00 ms in steps of 0.01"},
      {"outputDelay[center]", "1.005",
       "outputDelay[center]: '1.005' is not 0.00..100.00 ms in steps of 0.01"},
      {"filters[9].order", "48", "filters[9].order: '48' is not 12, 18 or 24 dB/oct"},
      {"compressors[1].threshold", "+23", "compressors[1].threshold: '+23' is not -20..+22 dB"},
      {"micFlags.mic24Polarity", "on", "micFlags.mic24Polarity: 'on' is not normal or inverted"},
      {"echoA.delay", "301", "echoA.delay: '301' is not 0..300"},
      {"revWidth", "", "revWidth: '' is not 0..100"},
  };
  for (const RefusalCase& c : cases) {
    ParameterBlock block = FactoryDefaults();
    const AssignResult result = AssignText(block, c.field, c.text);
    EXPECT_EQ(result.error, c.message) << c.field << "=" << c.text;
    EXPECT_TRUE(block == FactoryDefaults()) << c.field << "=" << c.text;
  }
}

struct JsonCase {
  const char* field;
  const char* json;
  std::int64_t stored;  // -1000: refused
};

TEST(FieldAssignmentTest, JsonValuesAsDumpPrintsThem) {
  constexpr std::int64_t kRefused = -1000;
  const JsonCase cases[] = {
      {"mix[main][music]", R"({"level":40,"muted":true})", 0x80 | 40},
      {"mix[main][music]", R"({"muted":true})", 0x80 | 50},  // the level stays
      {"mix[main][music]", "33", 33},
      {"mix[main][music]", R"({"level":60})", kRefused},
      {"mix[main][music]", R"({"volume":3})", kRefused},
      {"mix[main][music]", R"({})", kRefused},
      {"mix[main][mic]", "1e300", kRefused},  // beyond any integer: refused as 51 is
      {"mix[main][music]", R"({"level":-1e300,"muted":true})", kRefused},
      {"bands[28].on", "false", 0},
      {"bands[28].on", "1", kRefused},
      {"bands[28].gain", "-3.5", -35},
      {"bands[28].gain", "true", kRefused},
      {"bands[28].frequency", R"({"step":200,"hz":942.81,"label":" 943"})", 200},
      {"bands[28].frequency", R"({"hz":1000})", 203},
      {"bands[28].frequency", "1000", 203},
      {"bands[28].frequency", R"({"step":400})", kRefused},
      {"filters[5].frequency", R"({"step":0,"off":true})", 0},
      {"filters[9].family", "\"Bessel\"", 1},
      {"filters[9].family", "2", 2},
      {"filters[9].family", "3", kRefused},
      {"filters[9].order", "24", 2},
      {"outputMutes.controlMic", "false", 0x40},
      {"micFlags.mic24Polarity", "true", 0x10},
      {"feedbackLevel", "\"OFF\"", 0},
      {"outputDelay[main left]", "1.5", 1500},
      {"bands[28].bandwidth", "0.25", 4},
      {"compressors[3].threshold", "-5", -5},
  };
  for (const JsonCase& c : cases) {
    ParameterBlock block = FactoryDefaults();
    const AssignResult result = AssignJson(block, c.field, Json(c.json));
    if (c.stored == kRefused) {
      EXPECT_FALSE(result.ok()) << c.field << "=" << c.json;
      EXPECT_NE(result.error.find(c.field), std::string::npos) << result.error;
      EXPECT_TRUE(block == FactoryDefaults()) << c.field << "=" << c.json;
    } else {
      EXPECT_TRUE(result.ok()) << c.field << "=" << c.json << ": " << result.error;
      EXPECT_EQ(Stored(block, c.field), c.stored) << c.field << "=" << c.json;
    }
  }
}

// What get or the remote shows of a field can be given back, as text and as JSON, and changes
// nothing: the two directions read one table.
TEST(FieldAssignmentTest, EveryWritableFieldTakesBackWhatDumpPrints) {
  ParameterBlock block = FactoryDefaults();
  block.mix[2][1] = 0x80 | 17;
  block.bands[40].gain = -115;
  block.outputDelay[3] = 4560;
  block.filters[8].order = 1;
  // The top bit of a 7-bit level's byte belongs to something else: the level shows without it.
  block.masterMusic = 0x80 | 40;
  block.revLevel = 0x80 | 12;
  block.compressors[1].ratio = 0x80 | 3;
  block.subDecay = 0x80;
  int writable = 0;
  for (const FieldEntry& f : FieldTable()) {
    if (f.access != FieldAccess::kWritable) continue;
    ++writable;
    const FieldValue shown = DescribeField(f, block);
    ParameterBlock byText = block;
    EXPECT_TRUE(AssignText(byText, f.name, shown.text).ok()) << f.name << "=" << shown.text;
    EXPECT_TRUE(byText == block) << f.name << "=" << shown.text;
    ParameterBlock byJson = block;
    EXPECT_TRUE(AssignJson(byJson, f.name, Json(shown.json)).ok()) << f.name << "=" << shown.json;
    EXPECT_TRUE(byJson == block) << f.name << "=" << shown.json;
  }
  // 24 main window, 315 band, 23 filter, 24 compressor, 6 delay, 6 echo, 6 reverb, 8 output
  // switches and the direct volume.
  EXPECT_EQ(writable, 413);
}

// A value no control takes shows as it is, and is refused rather than stored as another.
TEST(FieldAssignmentTest, ValuesNoControlTakesShowAsTheyAreAndAreRefused) {
  ParameterBlock block = FactoryDefaults();
  block.bands[44].on = 0xC4;
  block.outputDelay[4] = 55;
  block.filters[9].order = 12;
  for (const auto& [field, text] : {std::pair{"bands[44].on", "196 (out of range)"},
                                    {"outputDelay[surround left]", "0.055 ms"},
                                    {"filters[9].order", "12 (out of range)"}}) {
    const FieldValue shown = DescribeField(*FindField(field), block);
    EXPECT_EQ(shown.text, text);
    ParameterBlock given = block;
    EXPECT_FALSE(AssignText(given, field, shown.text).ok()) << field;
    EXPECT_FALSE(AssignJson(given, field, Json(shown.json)).ok()) << field << shown.json;
    EXPECT_TRUE(given == block) << field;
  }
}

TEST(FieldAssignmentTest, RangesForAPage) {
  const auto master = RangeOfField("masterMusic");
  ASSERT_TRUE(master);
  EXPECT_EQ(master->kind, FieldRange::Kind::kNumber);
  EXPECT_EQ(master->min, 0);
  EXPECT_EQ(master->max, 60);
  EXPECT_EQ(master->step, 1);

  const auto gain = RangeOfField("bands[3].gain");
  ASSERT_TRUE(gain);
  EXPECT_DOUBLE_EQ(gain->min, -24.0);
  EXPECT_DOUBLE_EQ(gain->max, 12.0);
  EXPECT_DOUBLE_EQ(gain->step, 0.1);
  EXPECT_EQ(gain->unit, "dB");

  const auto family = RangeOfField("filters[9].family");
  ASSERT_TRUE(family);
  EXPECT_EQ(family->kind, FieldRange::Kind::kChoice);
  EXPECT_EQ(family->choices, (std::vector<std::string>{"Butterworth", "Bessel", "Linkwitz-Riley"}));

  const auto order = RangeOfField("filters[9].order");
  ASSERT_TRUE(order);
  EXPECT_EQ(order->choices, (std::vector<std::string>{"12", "18", "24"}));

  const auto cell = RangeOfField("mix[main][mic]");
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->kind, FieldRange::Kind::kMixCell);
  EXPECT_EQ(cell->max, 50);

  const auto frequency = RangeOfField("bands[3].frequency");
  ASSERT_TRUE(frequency);
  EXPECT_EQ(frequency->kind, FieldRange::Kind::kFrequency);
  EXPECT_NEAR(frequency->min, 20.07, 0.01);
  EXPECT_NEAR(frequency->max, 22159.0, 1.0);

  const auto mute = RangeOfField("outputMutes.main left");
  ASSERT_TRUE(mute);
  EXPECT_EQ(mute->kind, FieldRange::Kind::kOnOff);

  EXPECT_FALSE(RangeOfField("checksum"));
  EXPECT_FALSE(RangeOfField("echoB.level"));
  EXPECT_FALSE(RangeOfField("nosuch"));
}

TEST(FieldAssignmentTest, AssignmentsSplitAtTheFirstEquals) {
  const auto a = ParseAssignment("bands[28].gain=-3.0");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->field, "bands[28].gain");
  EXPECT_EQ(a->value, "-3.0");
  const auto spaced = ParseAssignment("outputMutes.main left = off");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(spaced->field, "outputMutes.main left");
  EXPECT_EQ(spaced->value, "off");
  const auto twice = ParseAssignment("a=b=c");
  ASSERT_TRUE(twice);
  EXPECT_EQ(twice->value, "b=c");
  EXPECT_FALSE(ParseAssignment("masterMusic"));
  EXPECT_FALSE(ParseAssignment("=40"));
}

TEST(JsonValueTest, ReadsScalarsAndObjects) {
  EXPECT_EQ(Json("true").kind, JsonValue::Kind::kBool);
  EXPECT_DOUBLE_EQ(Json(" -3.5 ").number, -3.5);
  EXPECT_EQ(Json(R"("a\"b\u0041")").text, "a\"bA");
  const JsonValue object = Json(R"({"level": 40, "muted": false, "in": {"x": null}})");
  ASSERT_EQ(object.kind, JsonValue::Kind::kObject);
  ASSERT_NE(object.member("level"), nullptr);
  EXPECT_DOUBLE_EQ(object.member("level")->number, 40);
  EXPECT_FALSE(object.member("muted")->boolean);
  EXPECT_EQ(object.member("in")->member("x")->kind, JsonValue::Kind::kNull);
  for (const char* bad :
       {"", "tru", "[1]", "{\"a\":}", "{\"a\" 1}", "1 2", "+1", "\"open",
        "{\"a\":{\"b\":{\"c\":{\"d\":{}}}}}", "{'a':1}", "nan", "-inf", "Infinity"})
    EXPECT_FALSE(ParseJsonValue(bad).has_value()) << bad;
}

}  // namespace
}  // namespace kdsp::settings
