// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the single-parameter commands on the simulated processor: each changes exactly its
// bytes of the working block, out-of-range records change nothing, and a whole synchronisation
// by the program's own command table leaves the simulator holding the program's block.
#include "sim/parameter_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <random>

#include "device/command_codes.h"
#include "device/command_table.h"
#include "sim/simulated_processor.h"
#include "sim_test_support.h"

namespace kdsp::sim {
namespace {

namespace code = device::code;
using settings::ParameterBlock;
using testing::Decode;
using testing::kAck;
using testing::Rec;
using testing::Record;
using Changes = std::map<std::size_t, std::uint8_t>;

// Bytes 0..705 that differ between the blocks; the checksum is checked on its own.
Changes Diff(const ParameterBlock& before, const ParameterBlock& after) {
  Changes changes;
  for (std::size_t i = 0; i < settings::offsets::kChecksum; ++i)
    if (before.bytes()[i] != after.bytes()[i]) changes[i] = after.bytes()[i];
  return changes;
}

struct Case {
  const char* name;
  std::vector<std::string> records;
  Changes changes;  // offset -> new value, against the factory working block
};

TEST(ParameterCommandsTest, EachCommandChangesExactlyItsBytes) {
  // Factory values the cases start from: micFlags 0x04; echo A delay 196, pre-delay 0; echo B
  // delay 196, pre-delay 5; band 28 gain 0, step 95, bandwidth 9, peaking, on.
  const Case cases[] = {
      {"163 channel 5", {Rec(163, {5, 0x85, 0x21})}, {{16, 0x85}, {17, 0x21}}},
      {"163 channel 2", {Rec(163, {2, 0x07, 0x08})}, {{18, 0x07}, {19, 0x08}}},
      {"160 master music", {Rec(160, {33})}, {{4, 33}}},
      {"161 master mic", {Rec(161, {34})}, {{5, 34}}},
      {"162 master effect", {Rec(162, {70})}, {{7, 70}}},
      {"164 knob (4,1)",
       {Rec(164, {4, 1, 0x34, 0x12, 0x01, 0x00})},
       {{664, 0x34}, {665, 0x12}, {666, 0x01}}},
      {"164 knob (0,0)",
       {Rec(164, {0, 0, 0xA0, 0x86, 0x01, 0x00})},
       {{644, 0xA0}, {645, 0x86}, {646, 0x01}}},
      {"165 feedback", {Rec(165, {4})}, {{2, 4}}},
      {"166 music input", {Rec(166, {3})}, {{1, 3}}},
      {"169 band 28",
       {Rec(169, {28, 0x1E, 0x00, 0x83, 0x00, 0x0A, 0x01, 0x00, 0x07})},
       {{250, 0x1E}, {252, 0x83}, {254, 0x0A}, {255, 0x01}, {256, 0x00}, {257, 0x07}}},
      {"169 band 62",
       {Rec(169, {62, 0xEC, 0xFF, 0, 0, 0, 0, 1, 0})},
       {{522, 0xEC}, {523, 0xFF}, {524, 0}, {525, 0}, {526, 0}, {527, 0}}},
      {"170 compressor 1",
       {Rec(170, {1, 9, 1, 4, 3, 0xEC, 0xFF, 7, 8})},
       {{604, 9}, {605, 1}, {606, 4}, {607, 3}, {608, 0xEC}, {609, 0xFF}, {610, 7}, {611, 8}}},
      {"171 filter 5",
       {Rec(171, {5, 0x2C, 0x01, 1, 1, 0, 9})},
       {{560, 0x2C}, {561, 0x01}, {562, 1}, {563, 1}, {564, 0}, {565, 9}}},
      {"172 subwoofer decay", {Rec(172, {9})}, {{8, 9}}},
      {"173 output switches", {Rec(173, {0xA5})}, {{700, 0xA5}}},
      {"174 echo level", {Rec(174, {60})}, {{668, 60}}},
      {"175 echo delay moves echo B along",
       {Rec(175, {0x2C, 0x01})},
       {{672, 0x2C}, {673, 0x01}, {684, 0x2C}, {685, 0x01}}},
      {"176 echo repeat", {Rec(176, {70})}, {{671, 70}}},
      {"177 echo pre-delay moves echo B along", {Rec(177, {50, 0})}, {{678, 50}, {690, 55}}},
      {"178 delay L-R 30", {Rec(178, {30})}, {{684, 166}}},
      {"178 delay L-R -99", {Rec(178, {0x9D})}, {{684, 0x27}, {685, 0x01}}},
      {"178 limited to 300",
       {Rec(175, {250, 0}), Rec(178, {0x9D})},
       {{672, 250}, {684, 0x2C}, {685, 0x01}}},
      {"178 limited to 0", {Rec(175, {20, 0}), Rec(178, {99})}, {{672, 20}, {684, 0}}},
      {"179 pre-delay L-R 5", {Rec(177, {50, 0}), Rec(179, {5})}, {{678, 50}, {690, 50}}},
      {"179 limited to 100", {Rec(179, {0x9D})}, {{690, 100}}},
      {"180 reverb level", {Rec(180, {40})}, {{695, 40}}},
      {"181 reverb time", {Rec(181, {12})}, {{692, 12}}},
      {"182 reverb pre-delay", {Rec(182, {0x10, 0x01})}, {{698, 0x10}, {699, 0x01}}},
      {"112 reverb damping", {Rec(112, {33})}, {{693, 33}}},
      {"113 reverb wet", {Rec(113, {44})}, {{694, 44}}},
      {"114 reverb width", {Rec(114, {55})}, {{696, 55}}},
      {"189 echo direct", {Rec(189, {77})}, {{701, 77}}},
      {"190 polarity 1", {Rec(190, {1})}, {{6, 0x0C}}},
      {"190 polarity 2", {Rec(190, {2})}, {{6, 0x14}}},
      {"190 both, then none", {Rec(190, {3}), Rec(190, {0})}, {}},
      {"183 mode 1 unlinks", {Rec(183, {1})}, {{6, 0x00}}},
      {"183 mode 2 then 0 links again", {Rec(183, {2}), Rec(183, {0})}, {}},
      {"167 168 194 192 193 leave the block",
       {Rec(167, {60}), Rec(168, {3}), Rec(194, {0x0F}), Rec(192, {0}), Rec(193, {0x03, 0xE7})},
       {}},
      // Out of range or the wrong length: acknowledged, nothing changes.
      {"163 channel 8", {Rec(163, {8, 1, 2})}, {}},
      {"164 delay line 6", {Rec(164, {4, 2, 1, 2, 3, 4})}, {}},
      {"164 delay line 255+255", {Rec(164, {255, 255, 1, 2, 3, 4})}, {}},
      {"169 band 63", {Rec(169, {63, 1, 2, 3, 4, 5, 6, 7, 8})}, {}},
      {"169 seven bytes", {Rec(169, {28, 1, 2, 3, 4, 5, 6, 7})}, {}},
      {"170 compressor 6", {Rec(170, {6, 1, 2, 3, 4, 5, 6, 7, 8})}, {}},
      {"171 filter 11", {Rec(171, {11, 1, 2, 3, 4, 5, 6})}, {}},
      {"160 empty", {Rec(160, {})}, {}},
      {"160 two bytes", {Rec(160, {1, 2})}, {}},
      {"175 one byte", {Rec(175, {1})}, {}},
      {"183 mode 3", {Rec(183, {3})}, {}},
      {"190 value 4", {Rec(190, {4})}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedProcessor sim;
    const ParameterBlock before = sim.working();
    std::string stream;
    for (const std::string& r : c.records) stream += r;
    EXPECT_EQ(Decode(sim.receive(stream)), std::vector<Record>(c.records.size(), kAck));
    EXPECT_EQ(Diff(before, sim.working()), c.changes);
    EXPECT_EQ(sim.working().checksum, settings::BlockChecksum(sim.working()));
  }
}

TEST(ParameterCommandsTest, DeviceValuesFollowTheirCommands) {
  SimulatedProcessor sim;
  sim.receive(Rec(167, {60}) + Rec(168, {3}) + Rec(194, {0x0F}) + Rec(183, {2}) + Rec(192, {0}) +
              Rec(193, {0x03, 0xE7}));
  EXPECT_EQ(sim.musicMaxVolume(), 60);
  EXPECT_EQ(sim.micMaxVolume(), 3);
  EXPECT_EQ(sim.pinkNoiseMask(), 0x0F);
  EXPECT_EQ(sim.micEqMode(), 2);
  EXPECT_EQ(sim.panelUnlocked(), 0);
  EXPECT_EQ(sim.lockPassword(), 999);
  EXPECT_EQ(Decode(sim.receive(Rec(code::kGreeting, {0}))).back(),
            (Record{code::kStatus, {60, 3, 2, 0, 0, 0, 0x03, 0xE7}}));
  sim.receive(Rec(192, {255}));
  EXPECT_EQ(sim.panelUnlocked(), 255);
}

TEST(ParameterCommandsTest, CodesThatAreNoParameterAreReported) {
  DeviceState state = FreshDeviceState();
  const std::uint8_t one[] = {1};
  for (const std::uint8_t c : {code::kGreeting, code::kStatus, code::kAcknowledge, std::uint8_t{0}})
    EXPECT_EQ(ApplyParameterCommand(state, c, one), ApplyResult::kNotAParameter) << int{c};
  EXPECT_EQ(ApplyParameterCommand(state, code::kMasterMusic, one), ApplyResult::kApplied);
  EXPECT_EQ(ApplyParameterCommand(state, code::kMicEqMode, std::array<std::uint8_t, 1>{7}),
            ApplyResult::kIgnored);
}

// The program edits its block, marks every parameter changed and drains its table into the
// simulator: afterwards both hold the same bytes.
TEST(ParameterCommandsTest, SynchronisingEveryRowMirrorsTheProgramsBlock) {
  std::mt19937 random(7);
  const auto any = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  SimulatedProcessor sim;
  ParameterBlock program = sim.working();
  auto bytes = program.bytes();
  // Every byte the table carries gets a new value. Mix offsets 20 and 21 have no control.
  for (std::size_t i : {1, 2, 4, 5, 7, 8, 700, 668, 671, 692, 693, 694, 695, 696, 698, 699})
    bytes[i] = static_cast<std::uint8_t>(any(0, 255));
  for (std::size_t i = 10; i < 26; ++i)
    if (i != 20 && i != 21) bytes[i] = static_cast<std::uint8_t>(any(0, 255));
  for (std::size_t i = settings::offsets::Band(0); i < settings::offsets::Band(48); ++i)
    bytes[i] = static_cast<std::uint8_t>(any(0, 255));
  for (auto& band : program.bands) band.on = 1;  // a band that is off travels with gain 0
  for (std::size_t i = settings::offsets::kFilters; i < settings::offsets::kEchoA; ++i)
    bytes[i] = static_cast<std::uint8_t>(any(0, 255));
  program.echoA.delay = static_cast<std::uint16_t>(any(0, 300));
  program.echoA.preDelay = static_cast<std::uint16_t>(any(0, 100));
  device::ControlValues controls{.echoDelayLr = any(-99, 99),
                                 .echoPreDelayLr = any(-99, 99),
                                 .echoDirect = any(0, 80),
                                 .micEqMode = 1};
  program.echoB.delay =
      static_cast<std::uint16_t>(std::clamp(program.echoA.delay - controls.echoDelayLr, 0, 300));
  program.echoB.preDelay = static_cast<std::uint16_t>(
      std::clamp(program.echoA.preDelay - (controls.echoPreDelayLr - 5), 0, 100));
  program.echoDirect = static_cast<std::uint8_t>(controls.echoDirect);
  program.micFlags = settings::kMicPolarity2;  // mode 1: sets unlinked
  device::LinkState link;
  link.musicMaxVolume = 48;
  link.micMaxVolume = 12;
  link.micEqChannel = 1;
  link.pinkNoiseMask = 0x21;

  device::ChangeFlags flags;
  for (int i = 0; i < device::flag::kCount; ++i) flags.set(static_cast<std::uint16_t>(i));
  int sent = 0;
  while (const auto command = device::TakeNextChange(flags, program, link, controls)) {
    EXPECT_EQ(Decode(sim.receive(
                  Rec(command->code, {command->payload().begin(), command->payload().end()}))),
              std::vector<Record>{kAck})
        << "row " << int{command->order};
    ++sent;
  }
  EXPECT_GT(sent, 100);
  EXPECT_EQ(Diff(program, sim.working()), Changes{});
  EXPECT_EQ(sim.musicMaxVolume(), 48);
  EXPECT_EQ(sim.micMaxVolume(), 12);
  EXPECT_EQ(sim.micEqMode(), 1);
  EXPECT_EQ(sim.pinkNoiseMask(), 0x21);
}

}  // namespace
}  // namespace kdsp::sim
