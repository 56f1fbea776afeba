// SPDX-License-Identifier: GPL-3.0-or-later
// kdspctl against the processor as a real HID device of the guest's kernel: listing through
// libudev, report lengths from the kernel's report descriptor, hidraw through hidapi, unplugs
// seen by the kernel, a node this user may not open, and the udev rule on a USB device.
// The test target defines KDSPCTL_PATH.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>

#include "device/block_transfer.h"
#include "device/command_codes.h"
#include "guest/guest_device.h"
#include "settings/group_file.h"
#include "settings/parameter_block.h"
#include "settings/setting_file.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#ifndef KDSPCTL_PATH
#error "the test target must define KDSPCTL_PATH as the path of kdspctl"
#endif

namespace kdsp::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using device::kChunkBytes;
using device::kUploadChunkCount;
using settings::kGroupSlotCount;

// A block that differs from every other slot's in every chunk, so a chunk lost, repeated or taken
// from another read cannot pass unseen. It is given as an upload leaves it (marker, checksum, the
// derived echo values), with the microphones' bands unlinked so that the upload copies none of
// them over others: the processor then holds exactly these bytes.
settings::ParameterBlock DistinctBlock(int slot) {
  settings::ParameterBlock block = settings::FactoryDefaults();
  const auto bytes = block.bytes();
  for (int chunk = 0; chunk < kUploadChunkCount; ++chunk) {
    const int at = chunk * kChunkBytes + 2;
    bytes[at] = static_cast<std::uint8_t>(slot + 1);
    bytes[at + 1] = static_cast<std::uint8_t>(chunk);
    bytes[at + 2] = static_cast<std::uint8_t>(0xA5 ^ (slot << 4) ^ chunk);
  }
  block.micFlags &= static_cast<std::uint8_t>(~settings::kMicSetsLinked);
  device::PrepareBlockForUpload(block);
  return block;
}

std::string SettingFileBytes(const settings::ParameterBlock& block) {
  const auto image = settings::EncodeSettingFile(block);
  return std::string(image.begin(), image.end());
}

std::string Kdspctl(const std::string& arguments) {
  return std::string(KDSPCTL_PATH) + " " + arguments;
}

class KdspctlUsbTest : public ::testing::TestWithParam<DeviceKind> {
 protected:
  RunResult run(const std::string& arguments) { return RunCommand(Kdspctl(arguments), scratch_); }

  TempDir temp_;
  fs::path scratch_ = [this] {
    fs::create_directories(temp_ / "scratch");
    return temp_ / "scratch";
  }();
};

TEST_P(KdspctlUsbTest, ListAndInfoFindTheProcessor) {
  GuestDevice processor(GetParam());
  const auto node = ProcessorNode();
  ASSERT_TRUE(node) << "no hidraw node for 0483:0157";

  const RunResult list = run("list");
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find(*node + "  0483:0157"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("    accessible"), std::string::npos) << list.out;
  if (GetParam() != DeviceKind::kUhid) {
    // A USB device: the release number and the strings come from its descriptors.
    EXPECT_NE(list.out.find("version 2.00"), std::string::npos) << list.out;
  }

  const RunResult info = run("info");
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("version          0x21"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("front panel      unlocked"), std::string::npos) << info.out;
}

TEST_P(KdspctlUsbTest, EverySlotGoesOutAndComesBackWhole) {
  GuestDevice processor(GetParam());
  std::array<std::string, kGroupSlotCount> files;
  for (int slot = 0; slot < kGroupSlotCount; ++slot) {
    files[slot] = SettingFileBytes(DistinctBlock(slot));
    const fs::path file = temp_ / ("slot" + std::to_string(slot) + ".aex");
    WriteBytes(file, files[slot]);
    // Verified: the slot is read back and compared.
    const RunResult push = run("push '" + file.string() + "' --slot " + std::to_string(slot));
    ASSERT_EQ(push.status, 0) << "slot " << slot << ": " << push.err;
  }

  const RunResult pull = run("pull --slot 4 -o '" + (temp_ / "four.aex").string() + "'");
  ASSERT_EQ(pull.status, 0) << pull.err;
  EXPECT_EQ(ReadBytes(temp_ / "four.aex"), files[4]);

  const fs::path backup = temp_ / "backup";
  fs::create_directories(backup);
  const RunResult all = run("pull-all '" + backup.string() + "'");
  ASSERT_EQ(all.status, 0) << all.err;
  std::size_t matching = 0;
  for (const auto& entry : fs::directory_iterator(backup)) {
    if (entry.path().extension() != ".aex") continue;
    const std::string bytes = ReadBytes(entry.path());
    for (int slot = 0; slot < kGroupSlotCount; ++slot) matching += bytes == files[slot] ? 1 : 0;
  }
  EXPECT_EQ(matching, static_cast<std::size_t>(kGroupSlotCount));
  EXPECT_TRUE(fs::exists(backup / "Upload.set"));
}

// The processor leaves while kdspctl waits for it: the reply it waits for is held back far
// longer than any of kdspctl's limits, so only the unplug can end the wait.
struct Interrupted {
  RunResult result;
  std::chrono::milliseconds afterUnplug;
};

Interrupted UnplugWhileWaiting(GuestDevice& processor, int heldCommand,
                               const std::string& arguments) {
  ChildProcess tool({"/bin/sh", "-c", Kdspctl(arguments)});
  EXPECT_TRUE(processor.waitForRecords(heldCommand, 1)) << "kdspctl never sent " << heldCommand;
  EXPECT_FALSE(tool.ended()) << "kdspctl ended before the processor left";
  EXPECT_TRUE(processor.unplug());
  const auto unplugged = ChildProcess::Clock::now();
  Interrupted outcome;
  outcome.result.status = tool.wait(60s);
  outcome.result.err = tool.errorOutput();
  outcome.afterUnplug =
      std::chrono::duration_cast<std::chrono::milliseconds>(tool.exitedAt() - unplugged);
  return outcome;
}

TEST_P(KdspctlUsbTest, UnplugDuringAReadEndsItWithAClearMessageAndNoFile) {
  GuestDevice processor(GetParam(), {"--slow-reply", "224:50000"});
  const fs::path file = temp_ / "read.aex";
  const auto outcome =
      UnplugWhileWaiting(processor, 224, "pull --slot 1 -o '" + file.string() + "'");
  EXPECT_EQ(outcome.result.status, 1) << outcome.result.err;
  EXPECT_NE(outcome.result.err.find("the processor was disconnected"), std::string::npos)
      << outcome.result.err;
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(temp_.Entries(), std::vector<std::string>{"scratch"});
  RecordProperty("milliseconds_from_unplug_to_exit", std::to_string(outcome.afterUnplug.count()));
  std::printf("unplug during a read: kdspctl ended %lld ms after the unplug\n",
              static_cast<long long>(outcome.afterUnplug.count()));
}

TEST_P(KdspctlUsbTest, UnplugDuringAnUploadEndsItWithAClearMessage) {
  // The first block chunk's acknowledgement is held back.
  GuestDevice processor(GetParam(), {"--slow-reply", "225:50000"});
  const fs::path file = temp_ / "upload.aex";
  WriteBytes(file, SettingFileBytes(DistinctBlock(2)));
  const auto outcome = UnplugWhileWaiting(processor, 225, "push '" + file.string() + "' --slot 2");
  EXPECT_EQ(outcome.result.status, 1) << outcome.result.err;
  EXPECT_NE(outcome.result.err.find("disconnected"), std::string::npos) << outcome.result.err;
  EXPECT_NE(outcome.result.err.find("left unchanged"), std::string::npos) << outcome.result.err;
  EXPECT_EQ(processor.recordCount(226), 0) << "a store record went out";
  RecordProperty("milliseconds_from_unplug_to_exit", std::to_string(outcome.afterUnplug.count()));
  std::printf("unplug during an upload: kdspctl ended %lld ms after the unplug\n",
              static_cast<long long>(outcome.afterUnplug.count()));
}

INSTANTIATE_TEST_SUITE_P(Kinds, KdspctlUsbTest,
                         ::testing::Values(DeviceKind::kUhid, DeviceKind::kUsb,
                                           DeviceKind::kUsbWithoutOutEndpoint),
                         [](const auto& test) { return KindName(test.param); });

// Another HID device arrives and leaves on the bus while a read runs: the processor's handle and
// the replies meanwhile are kept, and the read completes whole.
TEST(UnrelatedDeviceTest, PluggedAndUnpluggedDuringAReadLeavesTheReadWhole) {
  TempDir temp;
  GuestDevice processor(DeviceKind::kUsb, {"--slow-reply", "224:3000"});
  const fs::path source = temp / "source.aex";
  WriteBytes(source, SettingFileBytes(DistinctBlock(6)));
  ASSERT_EQ(RunCommand(Kdspctl("push '" + source.string() + "' --slot 6 --no-verify"), temp.path())
                .status,
            0);

  const fs::path file = temp / "read.aex";
  ChildProcess tool({KDSPCTL_PATH, "pull", "--slot", "6", "-o", file.string()});
  ASSERT_TRUE(processor.waitForRecords(224, 1));
  {
    GuestDevice other(DeviceKind::kUhid,
                      {"--mute", "--vendor", "1209", "--product", "0001", "--name", "Other"});
    EXPECT_FALSE(tool.ended()) << "the read ended when another device arrived";
  }
  EXPECT_EQ(tool.wait(60s), 0) << tool.errorOutput();
  EXPECT_EQ(ReadBytes(file), SettingFileBytes(DistinctBlock(6)));
}

// Two processors on the bus: list shows both nodes, and usb:PATH reaches the one named, whose slot
// alone takes the file; a path without a processor is said so.
TEST(TwoProcessorsTest, UsbPathReachesTheProcessorNamed) {
  TempDir temp;
  GuestDevice first(DeviceKind::kUhid);
  const std::vector<std::string> before = ProcessorNodes();
  ASSERT_EQ(before.size(), 1u);
  GuestDevice second(DeviceKind::kUhid);
  std::vector<std::string> nodes = ProcessorNodes();
  ASSERT_EQ(nodes.size(), 2u);
  const std::string a = before.front();
  const std::string b = nodes[0] == a ? nodes[1] : nodes[0];

  const RunResult list = RunCommand(Kdspctl("list"), temp.path());
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find(a + "  0483:0157"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find(b + "  0483:0157"), std::string::npos) << list.out;

  const fs::path file = temp / "tuned.aex";
  WriteBytes(file, SettingFileBytes(DistinctBlock(2)));
  const RunResult push = RunCommand(
      Kdspctl("--connect usb:" + b + " push '" + file.string() + "' --slot 2"), temp.path());
  ASSERT_EQ(push.status, 0) << push.err;
  for (const std::string& node : {a, b}) {
    const fs::path pulled = temp / (fs::path(node).filename().string() + ".aex");
    const RunResult pull = RunCommand(
        Kdspctl("pull --slot 2 -o '" + pulled.string() + "' --connect usb:" + node), temp.path());
    ASSERT_EQ(pull.status, 0) << node << ": " << pull.err;
    EXPECT_EQ(ReadBytes(pulled) == ReadBytes(file), node == b) << node;
  }

  const RunResult missing = RunCommand(Kdspctl("--connect usb:/dev/hidraw99 info"), temp.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("No processor found at /dev/hidraw99"), std::string::npos)
      << missing.err;
}

// A node only root may open (uhid devices have no USB device for the rule to match): listing and
// info name the problem and the udev rule that solves it.
TEST(PermissionTest, ListAndInfoAsAnotherUserExplainTheNodeAndTheRule) {
  TempDir temp;
  GuestDevice processor(DeviceKind::kUhid);
  const auto node = ProcessorNode();
  ASSERT_TRUE(node);
  fs::permissions(temp.path(), fs::perms::all);
  const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

  const RunResult list = RunCommand(asNobody + Kdspctl("list"), temp.path());
  EXPECT_EQ(list.status, 1) << list.err;
  EXPECT_NE(list.out.find("not accessible: Permission denied"), std::string::npos) << list.out;
  EXPECT_NE(list.err.find("this user may not open it"), std::string::npos) << list.err;
  EXPECT_NE(list.err.find("ATTRS{idVendor}==\"0483\""), std::string::npos) << list.err;

  const RunResult info = RunCommand(asNobody + Kdspctl("info"), temp.path());
  EXPECT_EQ(info.status, 1) << info.err;
  EXPECT_NE(info.err.find(*node), std::string::npos) << info.err;
  EXPECT_NE(info.err.find("70-kdsp.rules"), std::string::npos) << info.err;
}

// The installed rule tags the processor on USB for the seat's user; a device without the USB
// identity is left alone.
TEST(UdevRuleTest, TagsTheUsbProcessorForTheSeatUser) {
  TempDir temp;
  const auto tags = [&] {
    const auto node = ProcessorNode();
    if (!node) return std::string("no node");
    return RunCommand("udevadm info --query=property --name=" + *node, temp.path()).out;
  };
  {
    GuestDevice processor(DeviceKind::kUsb);
    EXPECT_NE(tags().find(":uaccess:"), std::string::npos) << tags();
  }
  {
    GuestDevice processor(DeviceKind::kUhid);
    EXPECT_EQ(tags().find(":uaccess:"), std::string::npos) << tags();
  }
}

}  // namespace
}  // namespace kdsp::testing
