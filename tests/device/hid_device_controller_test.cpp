// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the HID device list: creation, device changes, enumeration, check-out and check-in,
// unplugging held devices, and the controller's end.
#include "device/hid_device_controller.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>

#include "device/hid_test_devices.h"

namespace kdsp::device {
namespace {

using testing::Bytes;
using testing::EchoDevice;
using testing::Report;
using testing::Settle;

// A platform whose list the test writes; every device can be identified but not opened for
// reading and writing, and ID 99 cannot be identified at all.
class ScriptedPlatform : public HidPlatform {
 public:
  std::vector<HidPnPInfo> devices;

  std::vector<HidPnPInfo> list() override { return devices; }
  bool attributes(const HidPnPInfo& info, HidAttributes& attributes) override {
    if (info.DeviceID == 99) return false;
    attributes = {0x1234, static_cast<std::uint16_t>(info.DeviceID), 1};
    return true;
  }
  bool caps(const HidPnPInfo&, HidCaps& caps) override {
    caps = {65, 65, 0};
    return true;
  }
  std::unique_ptr<HidPlatformHandle> open(const HidPnPInfo&, bool readWrite,
                                          HidOpenError* error) override {
    if (readWrite) {
      *error = {EACCES, std::string(kPermissionDenied)};
      return nullptr;
    }
    return MakeIdentificationHandle();
  }
};

HidPnPInfo Info(std::string path, std::uint32_t id) {
  HidPnPInfo info;
  info.DevicePath = std::move(path);
  info.DeviceID = id;
  return info;
}

std::vector<std::string> Paths(const HidDeviceController& controller) {
  std::vector<std::string> paths;
  for (int i = 0; i < controller.count(); ++i)
    paths.push_back(controller.at(i)->PnPInfo().DevicePath);
  return paths;
}

class ControllerTest : public ::testing::Test {
 protected:
  std::shared_ptr<EchoDevice> Plug(std::uint16_t productId = 0x0157) {
    auto device = std::make_shared<EchoDevice>(productId);
    ids[device.get()] = platform.plug(device);
    return device;
  }

  VirtualHidPlatform platform;
  std::map<const VirtualHidDevice*, std::uint32_t> ids;
};

TEST_F(ControllerTest, ListsTheDevicesThatCanBeIdentified) {
  Plug(1);
  Plug(2)->setAccess(VirtualHidDevice::Access::kIdentifyOnly);
  Plug(3)->setAccess(VirtualHidDevice::Access::kNone);
  HidDeviceController controller(platform);

  ASSERT_EQ(controller.count(), 2);
  const HidDevice& readWrite = *controller.at(0);
  const HidDevice& identifyOnly = *controller.at(1);
  EXPECT_EQ(readWrite.Attributes().VendorID, 0x0483);
  EXPECT_EQ(readWrite.Attributes().ProductID, 1);
  EXPECT_TRUE(readWrite.hasReadWriteAccess());
  EXPECT_TRUE(readWrite.accessError().empty());
  EXPECT_EQ(identifyOnly.Attributes().ProductID, 2);
  EXPECT_FALSE(identifyOnly.hasReadWriteAccess());
  EXPECT_EQ(identifyOnly.accessError(), kPermissionDenied);
  for (const HidDevice* device : {&readWrite, &identifyOnly}) {
    EXPECT_TRUE(device->pluggedIn());
    EXPECT_FALSE(device->checkedOut());
    EXPECT_FALSE(device->isOpen());
  }
  EXPECT_EQ(controller.checkedInCount(), 2);
}

TEST_F(ControllerTest, TheFirstChangeHandlerHearsOfTheListAtOnceLaterOnesOnlyOfChanges) {
  Plug();
  HidDeviceController controller(platform);
  int first = 0;
  int second = 0;
  controller.SetOnDeviceChange([&] { ++first; });
  EXPECT_EQ(first, 1);
  controller.SetOnDeviceChange([&] { ++second; });
  EXPECT_EQ(second, 0);
  Plug();
  Settle();
  EXPECT_EQ(second, 1);
  EXPECT_EQ(first, 1);
}

TEST_F(ControllerTest, FollowsArrivalAndRemoval) {
  HidDeviceController controller(platform);
  std::vector<std::string> log;
  controller.OnArrival = [&](HidDevice& d) { log.push_back("arrival " + d.PnPInfo().DevicePath); };
  controller.OnRemoval = [&](HidDevice& d) { log.push_back("removal " + d.PnPInfo().DevicePath); };
  controller.OnDeviceUnplug = [&](HidDevice& d) {
    log.push_back("unplug " + d.PnPInfo().DevicePath);
  };
  controller.SetOnDeviceChange([&] { log.push_back("change"); });
  ASSERT_EQ(log, std::vector<std::string>{"change"});

  auto echo = Plug();
  const std::string path = "virtual:" + std::to_string(ids[echo.get()]);
  Settle();
  EXPECT_EQ(log, (std::vector<std::string>{"change", "arrival " + path, "change"}));
  EXPECT_EQ(controller.count(), 1);

  platform.unplug(ids[echo.get()]);
  Settle();
  EXPECT_EQ(log, (std::vector<std::string>{"change", "arrival " + path, "change", "unplug " + path,
                                           "removal " + path, "change"}));
  EXPECT_EQ(controller.count(), 0);
}

TEST_F(ControllerTest, UnpluggingAHeldDeviceKeepsItListedUntilItsCheckIn) {
  HidDeviceController controller(platform);
  controller.OnDeviceData = [](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {};
  std::vector<HidDevice*> unplugged;
  std::vector<HidDevice*> removed;
  controller.OnDeviceUnplug = [&](HidDevice& d) { unplugged.push_back(&d); };
  controller.OnRemoval = [&](HidDevice& d) { removed.push_back(&d); };
  auto echo = Plug();
  Plug(0x0001);
  Settle();
  ASSERT_EQ(controller.count(), 2);

  HidDevice* held = controller.CheckOutByIndex(0);
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(held->hasReadThread());
  EXPECT_TRUE(held->WriteFile(Report(65)));
  EXPECT_TRUE(held->isOpen());

  platform.unplug(ids[echo.get()]);
  Settle();
  EXPECT_EQ(unplugged, std::vector<HidDevice*>{held});
  EXPECT_EQ(removed, std::vector<HidDevice*>{held});
  EXPECT_FALSE(held->pluggedIn());
  EXPECT_FALSE(held->hasReadThread());
  EXPECT_FALSE(held->isOpen());
  EXPECT_FALSE(held->WriteFile(Report(65)));
  EXPECT_EQ(controller.count(), 2);
  EXPECT_EQ(controller.at(0), held);
  EXPECT_EQ(controller.unpluggedCount(), 1);
  EXPECT_EQ(controller.checkedOutCount(), 1);

  // An unplugged device is not handed out again, nor enumerated.
  EXPECT_EQ(controller.CheckOutByIndex(0), nullptr);
  std::vector<int> seen;
  controller.OnEnumerate = [&](HidDevice&, int index) {
    seen.push_back(index);
    return true;
  };
  EXPECT_EQ(controller.Enumerate(), 1);
  EXPECT_EQ(seen, std::vector<int>{1});

  controller.CheckIn(held);
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(controller.count(), 1);
  EXPECT_EQ(controller.unpluggedCount(), 0);
  EXPECT_EQ(unplugged.size(), 1u);  // the unplug event ran once
}

// Whether an entry survives a change depends on the DeviceID alone.
TEST(ControllerDeviceChange, SameDeviceIdKeepsItsEntryANewOneIsRemovedAndAdded) {
  ScriptedPlatform platform;
  platform.devices = {Info("/dev/a", 1), Info("/dev/b", 2), Info("/dev/x", 99)};
  HidDeviceController controller(platform);
  ASSERT_EQ(Paths(controller), (std::vector<std::string>{"/dev/a", "/dev/b"}));
  const HidDevice* a = controller.at(0);
  std::vector<std::string> log;
  controller.OnArrival = [&](HidDevice& d) { log.push_back("+" + d.PnPInfo().DevicePath); };
  controller.OnRemoval = [&](HidDevice& d) { log.push_back("-" + d.PnPInfo().DevicePath); };
  int changes = 0;
  controller.SetOnDeviceChange([&] { ++changes; });

  // a went away and came back between two notices with the same instance: its entry stays.
  platform.devices = {Info("/dev/c", 3), Info("/dev/a", 1)};
  controller.DeviceChange();
  EXPECT_EQ(log, (std::vector<std::string>{"-/dev/b", "+/dev/c"}));
  EXPECT_EQ(controller.at(0), a);
  EXPECT_EQ(Paths(controller), (std::vector<std::string>{"/dev/a", "/dev/c"}));
  EXPECT_EQ(changes, 2);

  // Back with a new instance: a different device as far as the list is concerned.
  log.clear();
  platform.devices = {Info("/dev/a", 4), Info("/dev/c", 3)};
  controller.DeviceChange();
  EXPECT_EQ(log, (std::vector<std::string>{"-/dev/a", "+/dev/a"}));
  EXPECT_EQ(Paths(controller), (std::vector<std::string>{"/dev/c", "/dev/a"}));
  EXPECT_EQ(controller.at(1)->PnPInfo().DeviceID, 4u);
  EXPECT_EQ(changes, 3);

  // Nothing changed: no event.
  controller.DeviceChange();
  EXPECT_EQ(changes, 3);
}

TEST_F(ControllerTest, EnumerateLeavesTheHandlesOfDevicesNotCheckedOutClosed) {
  std::vector<std::shared_ptr<EchoDevice>> echoes = {Plug(1), Plug(2), Plug(3)};
  HidDeviceController controller(platform);
  std::vector<HidDevice*> devices;
  controller.OnEnumerate = [&](HidDevice& device, int) {
    // Inside the event the device may be used without being checked out.
    EXPECT_TRUE(device.IsAccessible());
    EXPECT_TRUE(device.WriteFile(Report(65)));
    EXPECT_TRUE(device.isOpen());
    devices.push_back(&device);
    return true;
  };
  EXPECT_EQ(controller.Enumerate(), 3);
  ASSERT_EQ(devices.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(devices[i]->isOpen());
    EXPECT_FALSE(devices[i]->IsAccessible());
    EXPECT_EQ(echoes[i]->writes().size(), 1u);
  }
  // Outside an event a device nobody holds cannot be opened.
  EXPECT_FALSE(devices[0]->WriteFile(Report(65)));
  EXPECT_FALSE(devices[0]->isOpen());
}

TEST_F(ControllerTest, EnumerateStopsWhenTheHandlerSaysSo) {
  Plug(1);
  Plug(2);
  Plug(3);
  HidDeviceController controller(platform);
  EXPECT_EQ(controller.Enumerate(), 0);  // no handler, no calls
  controller.OnEnumerate = [](HidDevice&, int index) { return index != 1; };
  EXPECT_EQ(controller.Enumerate(), 2);
}

TEST_F(ControllerTest, CheckOutAndCheckIn) {
  Plug(1);
  Plug(2);
  HidDeviceController controller(platform);
  EXPECT_EQ(controller.CheckOutByIndex(-1), nullptr);
  EXPECT_EQ(controller.CheckOutByIndex(2), nullptr);

  // Checked out during the walk, the way the link takes its device: its handle stays open.
  HidDevice* held = nullptr;
  controller.OnEnumerate = [&](HidDevice& device, int index) {
    if (device.Attributes().ProductID == 2) {
      held = controller.CheckOutByIndex(index);
      EXPECT_EQ(held, &device);
      EXPECT_TRUE(held->WriteFile(Report(65)));
    }
    return true;
  };
  controller.Enumerate();
  ASSERT_NE(held, nullptr);
  EXPECT_TRUE(held->checkedOut());
  EXPECT_TRUE(held->isOpen());
  EXPECT_EQ(controller.CheckOutByIndex(1), nullptr);  // already held
  EXPECT_EQ(controller.checkedOutCount(), 1);
  EXPECT_EQ(controller.checkedInCount(), 1);

  HidDevice* copy = held;
  controller.CheckIn(held);
  EXPECT_EQ(held, nullptr);
  EXPECT_FALSE(copy->checkedOut());
  EXPECT_FALSE(copy->isOpen());
  EXPECT_EQ(controller.checkedInCount(), 2);
  held = controller.CheckOutByIndex(1);
  EXPECT_EQ(held, copy);
  controller.CheckIn(held);
}

TEST_F(ControllerTest, ADeviceWithoutAccessIsListedAndHeldButNotRead) {
  Plug()->setAccess(VirtualHidDevice::Access::kIdentifyOnly);
  HidDeviceController controller(platform);
  controller.OnDeviceData = [](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {};
  ASSERT_EQ(controller.count(), 1);
  HidDevice* held = controller.CheckOutByIndex(0);
  ASSERT_NE(held, nullptr);
  held->SetDataEvent([](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {});
  held->StartThread();
  EXPECT_FALSE(held->hasReadThread());
  EXPECT_FALSE(held->WriteFile(Report(65)));
  EXPECT_FALSE(held->hasReadWriteAccess());
  EXPECT_EQ(held->accessError(), kPermissionDenied);
  controller.CheckIn(held);
}

TEST_F(ControllerTest, ADeviceWhoseAccessChangesInPlaceIsAChange) {
  auto echo = Plug();
  echo->setAccess(VirtualHidDevice::Access::kIdentifyOnly);
  HidDeviceController controller(platform);
  int changes = 0;
  controller.SetOnDeviceChange([&] { ++changes; });
  ASSERT_EQ(controller.count(), 1);
  HidDevice* held = controller.CheckOutByIndex(0);
  ASSERT_NE(held, nullptr);
  ASSERT_FALSE(held->hasReadWriteAccess());

  struct Step {
    VirtualHidDevice::Access access;
    bool readWrite;
    int changes;
  };
  const Step steps[] = {
      {VirtualHidDevice::Access::kIdentifyOnly, false, 1},  // a notice with nothing new
      {VirtualHidDevice::Access::kReadWrite, true, 2},      // a udev rule applied
      {VirtualHidDevice::Access::kReadWrite, true, 2},
      {VirtualHidDevice::Access::kIdentifyOnly, false, 3},  // and taken back
  };
  for (const Step& step : steps) {
    echo->setAccess(step.access);
    emit platform.devicesChanged();
    Settle();
    EXPECT_EQ(changes, step.changes);
    EXPECT_EQ(held->hasReadWriteAccess(), step.readWrite);
    EXPECT_EQ(held->accessError(), step.readWrite ? "" : kPermissionDenied);
    EXPECT_EQ(controller.at(0), held);  // the same entry throughout
  }
  controller.CheckIn(held);
}

TEST_F(ControllerTest, DeletingAHeldDeviceThatIsStillThereLeavesAFreshEntry) {
  auto echo = Plug();
  HidDeviceController controller(platform);
  HidDevice* held = controller.CheckOutByIndex(0);
  ASSERT_NE(held, nullptr);
  held->SetDataEvent([](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {});
  held->ThreadSleepTime = 30;
  ASSERT_TRUE(held->hasReadThread());
  delete held;

  ASSERT_EQ(controller.count(), 1);
  EXPECT_FALSE(controller.at(0)->checkedOut());
  EXPECT_FALSE(controller.at(0)->hasReadThread());
  EXPECT_EQ(controller.at(0)->ThreadSleepTime, 30);
  // The fresh entry carries the data event: it reads as soon as it is held again.
  HidDevice* again = controller.CheckOutByIndex(0);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(again->hasReadThread());
  controller.CheckIn(again);
}

TEST_F(ControllerTest, TheControllerUnplugsWhatIsStillHeldWhenItGoes) {
  Plug(1);
  Plug(2);
  auto controller = std::make_unique<HidDeviceController>(platform);
  int unplugs = 0;
  controller->OnDeviceUnplug = [&](HidDevice&) { ++unplugs; };
  controller->OnDeviceData = [](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {};
  Plug(3);  // listed from now on: carries the events
  Settle();
  ASSERT_EQ(controller->count(), 3);
  HidDevice* held = controller->CheckOutByIndex(2);
  ASSERT_NE(held, nullptr);
  ASSERT_TRUE(held->hasReadThread());

  controller.reset();
  EXPECT_EQ(unplugs, 1);
  EXPECT_FALSE(held->pluggedIn());
  EXPECT_FALSE(held->hasReadThread());
  EXPECT_EQ(held->controller(), nullptr);
  delete held;  // its holder frees it
}

// A notice that arrives while a handler runs the event loop waits until the walk is over, so
// the list never changes under the walk.
TEST_F(ControllerTest, ANoticeDuringAWalkIsTakenUpAfterIt) {
  Plug(1);
  Plug(2);
  HidDeviceController controller(platform);
  int changes = 0;
  controller.SetOnDeviceChange([&] { ++changes; });
  controller.OnEnumerate = [&](HidDevice& device, int index) {
    if (index == 0) {
      Plug(3);
      Settle();
    }
    EXPECT_EQ(controller.count(), 2);
    EXPECT_EQ(device.Attributes().ProductID, index + 1);
    return true;
  };
  EXPECT_EQ(controller.Enumerate(), 2);
  EXPECT_EQ(changes, 1);
  Settle();
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(controller.count(), 3);
}

// The link's own routine on every change: give back everything held, then walk the list and
// hold every device again, even when the change came while a device was held and unplugged.
TEST_F(ControllerTest, HandlerThatChecksEverythingInAndOutAgain) {
  Plug(1);
  auto second = Plug(2);
  HidDeviceController controller(platform);
  controller.OnDeviceData = [](HidDevice&, std::uint8_t, std::span<const std::uint8_t>) {};
  Plug(5);
  Settle();
  std::vector<HidDevice*> held;
  controller.OnEnumerate = [&](HidDevice&, int index) {
    held.push_back(controller.CheckOutByIndex(index));
    return true;
  };
  controller.SetOnDeviceChange([&] {
    for (HidDevice*& device : held) controller.CheckIn(device);
    held.clear();
    controller.Enumerate();
  });
  ASSERT_EQ(held.size(), 3u);
  platform.unplug(ids[second.get()]);
  Plug(6);
  Settle();
  ASSERT_EQ(held.size(), 3u);
  EXPECT_EQ(controller.count(), 3);
  std::vector<int> products;
  for (HidDevice* device : held) {
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->pluggedIn());
    products.push_back(device->Attributes().ProductID);
  }
  EXPECT_EQ(products, (std::vector<int>{1, 5, 6}));
  for (HidDevice*& device : held) controller.CheckIn(device);
}

}  // namespace
}  // namespace kdsp::device
