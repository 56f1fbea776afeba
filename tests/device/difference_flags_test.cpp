// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the flags raised for a difference between two working settings: each single change
// raises the flag its control raises, and the tick then sends exactly that control's record.
#include "device/difference_flags.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "device/command_table.h"
#include "device/page_rules.h"
#include "device/record_codec.h"
#include "skin/main_window_layout.h"

namespace kdsp::device {
namespace {

using settings::EditState;
using settings::ParameterBlock;

std::string Line(const OutgoingCommand& c) {
  const EncodedRecord record(c.code, c.payload());
  const std::string_view text = record.textView();
  return std::string(text.substr(0, text.size() - 2));
}

std::vector<int> RaisedFlags(const ChangeFlags& flags) {
  std::vector<int> raised;
  for (int i = 0; i < flag::kCount; ++i)
    if (flags[static_cast<std::uint16_t>(i)] != 0) raised.push_back(i);
  return raised;
}

// The link as the tick will find it once the state's mode is taken; the maximum volumes and the
// pink-noise mask are set so that a row reading them would show.
LinkState TickLink(const EditState& state) {
  LinkState link;
  link.musicMaxVolume = 41;
  link.micMaxVolume = 42;
  link.pinkNoiseMask = 0x5A;
  link.micEqChannel = static_cast<std::uint8_t>(state.values.micEqMode);
  return link;
}

// Every record the tick sends for the flags, in order.
std::vector<std::string> Drain(ChangeFlags flags, const EditState& state) {
  std::vector<std::string> lines;
  while (auto sent = TakeNextChange(flags, state.block, TickLink(state), state.values))
    lines.push_back(Line(*sent));
  return lines;
}

EditState InMode(int mode) {
  EditState state{settings::FactoryDefaults(), {}};
  state.values.micEqMode = mode;
  SetMicSetsLink(state.block, mode);
  return state;
}

struct Case {
  const char* name;
  int mode;
  std::function<void(EditState&)> edit;
  std::vector<int> controlFlags;  // what the control raises when it makes the change
  std::vector<int> raised;        // the same but for a group, whose first flag stands for it
  std::vector<std::string> records;
};

TEST(RaiseFlagsForDifference, EachSingleChangeSendsItsControlsRecord) {
  using settings::PageId;
  using S = EditState&;
  // clang-format off
  const Case cases[] = {
    {"mix fader 1, main MIC", 0, [](S s) { s.block.mix[0][1] = 20; }, {1}, {1},
     {":A3000300321414"}},
    {"mix fader 6, center ECHO", 0, [](S s) { s.block.mix[1][2] = 33; }, {6}, {6},
     {":A3000305210034"}},
    {"mute button 9, surround MIC", 0, [](S s) { s.block.mix[3][1] |= 0x80; }, {36}, {36},
     {":A300030332B273"}},
    {"master MIC", 0, [](S s) { s.block.masterMic = 40; }, {15}, {15}, {":A100012836"}},
    {"delay knob 3, line 4", 0, [](S s) { s.block.outputDelay[4] = 2500; }, {20}, {20},
     {":A400060400C409000085"}},
    {"delay knob 5, line 3", 0, [](S s) { s.block.outputDelay[3] = 70000; }, {22}, {22},
     {":A40006030070110100D1"}},
    {"Main Output band 30 gain", 0, [](S s) { s.block.bands[30].gain = -35; }, {79}, {79},
     {":A900091EDDFFA70009000100A3"}},
    {"mic band 3, mode 0", 0, [](S s) { s.block.bands[3].gain = 60; }, {52}, {52},
     {":A90009033C00A700090001005E"}},
    {"mic band 3, mode 1", 1, [](S s) { s.block.bands[3].gain = 60; }, {52}, {52},
     {":A90009033C00A700090001005E"}},
    {"mic band 3 of the second set, mode 2", 2, [](S s) { s.block.bands[51].gain = 60; }, {52},
     {52},
     {":A90009333C00A700090001002E"}},
    {"second-set band in mode 1: no record carries it", 1, [](S s) { s.block.bands[51].gain = 60; },
     {}, {}, {}},
    {"compressor 1 threshold", 0, [](S s) { s.block.compressors[1].threshold = -20; }, {101}, {101},
     {":AA00090100030200ECFF00005C"}},
    {"compressor 5 ratio", 0, [](S s) { s.block.compressors[5].ratio = 4; }, {120}, {117},
     {":AA000905000604041600000024"}},
    {"crossover 5 frequency", 0, [](S s) { s.block.filters[5].frequency = 100; }, {136}, {136},
     {":AB000705640002000201E0"}},
    {"crossover 9 order", 0, [](S s) { s.block.filters[9].order = 3; }, {150}, {148},
     {":AB000709830002010301BB"}},
    {"sub decay", 0, [](S s) { s.block.subDecay = 9; }, {154}, {154}, {":AC0001094A"}},
    {"echo delay with its second side", 0,
     [](S s) { StorePageField(s.block, PageId::kEcho, PageField::kEchoDelay, 200, {}); }, {156},
     {156},
     {":AF0002C80087"}},
    {"echo delay L-R", 0, [](S s) { s.values.echoDelayLr = -30; DeriveEchoDelayB(s.block, -30); },
     {159}, {159}, {":B20001E26B"}},
    {"echo pre delay L-R", 0,
     [](S s) { s.values.echoPreDelayLr = 12; DeriveEchoPreDelayB(s.block, 12); }, {160}, {160},
     {":B300010C40"}},
    {"echo direct volume", 0, [](S s) { s.block.echoDirect = s.values.echoDirect = 40; }, {161},
     {161},
     {":BD0001281A"}},
    {"reverb level: the page's row, not the dialog's", 0, [](S s) { s.block.revLevel = 30; }, {162},
     {162}, {":B400011E2D"}},
    {"reverb damp, the dialog's own", 0, [](S s) { s.block.revDamp = 11; }, {167}, {167},
     {":7000010B84"}},
    {"mic polarity 2", 0, [](S s) { s.block.micFlags |= settings::kMicPolarity2; }, {172}, {171},
     {":BE0001023F"}},
    {"output switch 3", 0, [](S s) { s.block.outputMutes ^= 0x08; }, {44}, {41}, {":AD0001084A"}},
    {"mic EQ mode 0 to 1 as the knob moves it", 0,
     [](S s) { ChangeMicEqMode(s.block, 0, 1); s.values.micEqMode = 1; }, {173}, {173},
     {":B700010147"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    const EditState from = InMode(c.mode);
    EditState to = from;
    c.edit(to);
    ChangeFlags flags;
    EXPECT_FALSE(RaiseFlagsForDifference(flags, from, to, TickLink(from))) << c.name;
    EXPECT_EQ(RaisedFlags(flags), c.raised) << c.name;
    EXPECT_EQ(Drain(flags, to), c.records) << c.name;

    ChangeFlags control;
    for (int f : c.controlFlags) control.set(static_cast<std::uint16_t>(f));
    EXPECT_EQ(Drain(control, to), c.records) << c.name << ": the control's own record";
  }
}

TEST(RaiseFlagsForDifference, AnUnchangedStateRaisesNothing) {
  EditState state = InMode(2);
  state.values = {.echoDelayLr = -30, .echoPreDelayLr = 7, .echoDirect = 64, .micEqMode = 2};
  ChangeFlags flags;
  EXPECT_FALSE(RaiseFlagsForDifference(flags, state, state, TickLink(state)));
  EXPECT_FALSE(flags.anySet());
}

TEST(RaiseFlagsForDifference, OneRecordPerChangedCommandInTableOrder) {
  const EditState from = InMode(1);
  EditState to = from;
  to.block.revDamp = 11;           // dialog row 47
  to.block.revLevel = 30;          // page row 42, and dialog row 45 carries the same
  to.block.mix[0][0] = 0x80 | 20;  // fader 0 and mute button 0: one pair record
  to.block.mix[0][1] = 21;         // fader 1: the same pair record
  to.block.bands[31].gain = 10;    // a family sends its members in index order
  to.block.bands[30].gain = -10;
  to.values.micEqMode = 2;  // the mic rows now read the second set
  SetMicSetsLink(to.block, 2);
  to.block.bands[50].gain = 5;

  ChangeFlags flags;
  RaiseFlagsForDifference(flags, from, to, TickLink(from));
  EXPECT_EQ(RaisedFlags(flags), (std::vector<int>{0, 51, 79, 80, 162, 167, 173}));
  EXPECT_EQ(Drain(flags, to), (std::vector<std::string>{
                                  ":A30003009415B1",
                                  ":A900091EF6FFA700090001008A",
                                  ":A900091F0A00CB000900010050",
                                  ":B400011E2D",
                                  ":7000010B84",
                                  ":A900093205008300090001008A",
                                  ":B700010246",
                              }));
}

TEST(RaiseFlagsForDifference, AnswersWhetherMostOfTheBlockChanged) {
  struct Share {
    std::size_t changedBytes;
    bool most;
  };
  for (const Share c : {Share{1, false}, Share{354, false}, Share{355, true}, Share{708, true}}) {
    const EditState from = InMode(0);
    EditState to = from;
    for (std::size_t i = 0; i < c.changedBytes; ++i)
      to.block.bytes()[i] = static_cast<std::uint8_t>(~to.block.bytes()[i]);
    ChangeFlags flags;
    EXPECT_EQ(RaiseFlagsForDifference(flags, from, to, TickLink(from)), c.most) << c.changedBytes;
    // The flags are raised all the same: the caller chooses between them and the whole block.
    if (c.most) {
      EXPECT_TRUE(flags.anySet()) << c.changedBytes;
    }
  }
}

// The main window's mix faders and mute buttons edit the bytes the command table says they do.
TEST(MixControlOffset, AgreesWithTheMainWindowsFaders) {
  for (int i = 0; i < skin::main_layout::kMuteButtonCount; ++i)
    EXPECT_EQ(MixControlOffset(i), skin::main_layout::kFaders[static_cast<std::size_t>(i)].target)
        << i;
}

}  // namespace
}  // namespace kdsp::device
