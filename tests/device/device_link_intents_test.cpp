// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of what the windows ask of the link: a parameter raises exactly its own flag and the
// next synchronisation tick sends its record; the panel lock, the password and the greeting go
// out at once.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/command_codes.h"
#include "link_fixture.h"

namespace kdsp::device {
namespace {

using Flags = std::vector<std::uint16_t>;
using Records = std::vector<std::string>;

// Every flag raised, in id order.
Flags RaisedFlags(const DeviceLink& link) {
  Flags raised;
  for (int id = 0; id < flag::kCount; ++id)
    if (link.insides().flags[static_cast<std::uint16_t>(id)] != 0)
      raised.push_back(static_cast<std::uint16_t>(id));
  return raised;
}

class IntentTest : public testing::LinkFixture {
 protected:
  // A processor that has answered the greeting, with the sync question left open; the tick
  // runs only when the test calls it.
  void SetUp() override {
    prompts.holdQuestions = true;
    platform.plug(device);
    startLink();
    ASSERT_TRUE(waitFor([&] { return !device->reports.empty(); }));  // the greeting
    link->syncTimer().stop();
    const std::uint8_t accepted[] = {kAcceptedVersion};
    link->HandleReply(code::kVersion, accepted);
    ASSERT_TRUE(link->state().versionOk);
    device->reports.clear();
  }

  // The records written since the last call, without their CR LF.
  Records sent() {
    Records texts;
    for (const auto& report : device->reports)
      texts.push_back(testing::Line(std::string(report.begin() + 2, report.begin() + report[1])));
    device->reports.clear();
    return texts;
  }

  std::shared_ptr<testing::RecordingProcessor> device =
      std::make_shared<testing::RecordingProcessor>(65);
};

TEST_F(IntentTest, EachSettingRaisesItsOwnFlagAndTheTickSendsItsRecord) {
  const struct {
    const char* what;
    std::function<void(DeviceLink&)> act;
    std::uint16_t flag;
    const char* record;
  } cases[] = {
      {"music maximum 30", [](DeviceLink& l) { l.setMaxVolume(MaxVolume::kMusic, 30); },
       flag::kMusicMaxVolume.first, ":A700011E3A"},
      {"mic maximum 33", [](DeviceLink& l) { l.setMaxVolume(MaxVolume::kMic, 33); },
       flag::kMicMaxVolume.first, ":A800012136"},
      {"pink noise on output 8", [](DeviceLink& l) { l.setPinkNoiseOutput(7, true); },
       flag::kPinkNoise.first, ":C2000180BD"},
      {"and on output 3", [](DeviceLink& l) { l.setPinkNoiseOutput(2, true); },
       flag::kPinkNoise.first, ":C2000184B9"},
      {"output 8 off again", [](DeviceLink& l) { l.setPinkNoiseOutput(7, false); },
       flag::kPinkNoise.first, ":C200010439"},
      {"an output already off stays off", [](DeviceLink& l) { l.setPinkNoiseOutput(5, false); },
       flag::kPinkNoise.first, ":C200010439"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.act(*link);
    EXPECT_EQ(RaisedFlags(*link), Flags{c.flag});
    EXPECT_EQ(sent(), Records{});  // nothing goes before the tick
    link->SyncTick();
    EXPECT_EQ(sent(), Records{c.record});
    EXPECT_EQ(RaisedFlags(*link), Flags{});
  }
  EXPECT_EQ(link->state().musicMaxVolume, 30);
  EXPECT_EQ(link->state().micMaxVolume, 33);
  EXPECT_EQ(link->state().pinkNoiseMask, 0x04);
}

TEST_F(IntentTest, PanelCommandsAndTheGreetingGoAtOnceWithoutAFlag) {
  const struct {
    const char* what;
    std::function<void(DeviceLink&)> act;
    const char* record;
    std::uint8_t panelUnlocked;
    std::uint16_t lockPassword;
  } cases[] = {
      {"lock", [](DeviceLink& l) { l.setPanelLocked(true); }, ":C00001003F", 0,
       kUnknownLockPassword},
      {"unlock", [](DeviceLink& l) { l.setPanelLocked(false); }, ":C00001FF40", 255,
       kUnknownLockPassword},
      {"password 300, high byte first", [](DeviceLink& l) { l.setLockPassword(300); },
       ":C10002012C10", 255, 300},
      {"password 999", [](DeviceLink& l) { l.setLockPassword(999); }, ":C1000203E753", 255, 999},
      {"greeting", [](DeviceLink& l) { l.greet(); }, ":E50001001A", 255, 999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.act(*link);
    EXPECT_EQ(sent(), Records{c.record});
    EXPECT_EQ(RaisedFlags(*link), Flags{});
    EXPECT_EQ(link->state().panelUnlocked, c.panelUnlocked);
    EXPECT_EQ(link->state().lockPassword, c.lockPassword);
  }
}

TEST_F(IntentTest, AWithdrawnChangeIsNotSentAndKeepsItsValue) {
  link->setMaxVolume(MaxVolume::kMusic, 30);
  link->setPinkNoiseOutput(0, true);
  link->markChanged(flag::kDialogRevTime.first);
  link->withdrawChange(flag::kDialogRevTime.first);
  EXPECT_EQ(RaisedFlags(*link), (Flags{flag::kMusicMaxVolume.first, flag::kPinkNoise.first}));
  link->withdrawPinkNoise();
  EXPECT_EQ(RaisedFlags(*link), Flags{flag::kMusicMaxVolume.first});
  link->SyncTick();
  link->SyncTick();
  EXPECT_EQ(sent(), Records{":A700011E3A"});
  EXPECT_EQ(link->state().pinkNoiseMask, 0x01);
}

TEST_F(IntentTest, AMaximumKeptForTheNextStoreIsNotSentOnItsOwn) {
  link->setMaxVolumeForNextStore(MaxVolume::kMic, 12);
  link->setMaxVolumeForNextStore(MaxVolume::kMusic, 70);
  EXPECT_EQ(link->state().micMaxVolume, 12);
  EXPECT_EQ(link->state().musicMaxVolume, 70);
  EXPECT_EQ(RaisedFlags(*link), Flags{});
  link->SyncTick();
  EXPECT_EQ(sent(), Records{});
}

}  // namespace
}  // namespace kdsp::device
