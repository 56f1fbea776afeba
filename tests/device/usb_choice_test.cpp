// SPDX-License-Identifier: GPL-3.0-or-later
// Several processors on USB: the link lists them and talks to the one chosen by its path, taking
// a new choice as a processor just plugged in.
#include "device/command_codes.h"
#include "link_fixture.h"

namespace kdsp::device {
namespace {

class UsbChoiceTest : public testing::LinkFixture {
 protected:
  // Two processors, A plugged in before B; the link has taken A and the sync question is done.
  void plugTwoAndStart() {
    a = plugProcessor();
    idA = processorId;
    b = plugProcessor();
    idB = processorId;
    startLink();
    ASSERT_TRUE(waitFor([&] { return link->state().versionOk && !link->syncQuestionOpen(); }));
  }
  static std::string PathOf(std::uint32_t id) { return "virtual:" + std::to_string(id); }

  // An edit of the working settings reaches the processor the link talks to, and only it.
  void expectEditsReach(const std::shared_ptr<sim::SimulatedHidDevice>& chosen,
                        const std::shared_ptr<sim::SimulatedHidDevice>& other) {
    working.bands[5].gain = static_cast<std::int16_t>(working.bands[5].gain + 10);
    link->markChanged(flag::kBands.at(5));
    ASSERT_TRUE(waitFor(
        [&] { return chosen->processor().working().bands[5].gain == working.bands[5].gain; }));
    EXPECT_NE(other->processor().working().bands[5].gain, working.bands[5].gain);
  }

  std::shared_ptr<sim::SimulatedHidDevice> a, b;
  std::uint32_t idA = 0, idB = 0;
};

TEST_F(UsbChoiceTest, ListsEveryProcessorAndTakesTheFirstWithoutAChoice) {
  platform.plug(std::make_shared<testing::UnrelatedDevice>());
  plugTwoAndStart();
  const auto found = link->usbProcessors();
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].path, PathOf(idA));
  EXPECT_EQ(found[1].path, PathOf(idB));
  EXPECT_EQ(found[0].serial, "SIM-0001");
  EXPECT_TRUE(found[0].accessible && found[1].accessible);
  EXPECT_EQ(link->device()->PnPInfo().DevicePath, PathOf(idA));
  expectEditsReach(a, b);
}

TEST_F(UsbChoiceTest, AChoiceIsTakenAsAProcessorJustPluggedIn) {
  plugTwoAndStart();
  received.clear();
  link->setUsbPath(PathOf(idB));
  EXPECT_EQ(link->usbPath(), PathOf(idB));
  // Greeted and asked again, as a processor found anew is.
  ASSERT_TRUE(waitFor([&] {
    return link->state().connected && link->state().versionOk && prompts.questions.size() == 2 &&
           !link->syncQuestionOpen();
  }));
  EXPECT_EQ(link->device()->PnPInfo().DevicePath, PathOf(idB));
  EXPECT_EQ(received.front(), code::kGreeting);
  expectEditsReach(b, a);

  // The same choice again changes nothing; no choice goes back to the first processor.
  link->setUsbPath(PathOf(idB));
  EXPECT_EQ(prompts.questions.size(), 2u);
  link->setUsbPath(std::nullopt);
  ASSERT_TRUE(waitFor([&] {
    return link->device() != nullptr && link->device()->PnPInfo().DevicePath == PathOf(idA) &&
           link->state().versionOk && !link->syncQuestionOpen();
  }));
  expectEditsReach(a, b);
}

TEST_F(UsbChoiceTest, AChosenProcessorThatIsNotThereIsWaitedFor) {
  plugTwoAndStart();
  const std::string gone = PathOf(idB);
  link->setUsbPath(gone);
  ASSERT_TRUE(waitFor([&] {
    return link->device() != nullptr && prompts.questions.size() == 2 && !link->syncQuestionOpen();
  }));
  // B is unplugged: the link does not fall back to A, which stays listed.
  platform.unplug(idB);
  ASSERT_TRUE(waitFor([&] { return !link->state().connected && link->device() == nullptr; }));
  WaitMs(50);
  EXPECT_EQ(link->device(), nullptr);
  ASSERT_EQ(link->usbProcessors().size(), 1u);
  EXPECT_EQ(link->usbProcessors()[0].path, PathOf(idA));

  // Choosing a path before its processor is plugged in connects it when it comes.
  const std::string next = PathOf(idB + 1);
  link->setUsbPath(next);
  WaitMs(50);
  EXPECT_FALSE(link->state().connected);
  auto c = plugProcessor();
  ASSERT_EQ(PathOf(processorId), next);
  ASSERT_TRUE(waitFor([&] {
    return link->device() != nullptr && link->state().connected && prompts.questions.size() == 3 &&
           !link->syncQuestionOpen();
  }));
  EXPECT_EQ(link->device()->PnPInfo().DevicePath, next);
  expectEditsReach(c, a);
}

}  // namespace
}  // namespace kdsp::device
