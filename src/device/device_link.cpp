// SPDX-License-Identifier: GPL-3.0-or-later
// Connection, reception and synchronisation.
#include "device/device_link.h"

#include <QPointer>
#include <charconv>
#include <utility>

#include "core/composed_text.h"
#include "core/translatable.h"
#include "device/command_codes.h"
#include "device/device_commands.h"
#include "device/difference_flags.h"
#include "device/event_loop_wait.h"
#include "device/hid_device.h"
#include "device/hid_device_controller.h"
#include "device/link_messages.h"
#include "device/link_timing.h"
#include "device/wifi_module.h"

namespace kdsp::device {
namespace {

bool IsProcessor(const HidDevice& device) {
  const HidAttributes& id = device.Attributes();
  return id.VendorID == core::kProcessorVendorId && id.ProductID == core::kProcessorProductId;
}

// An input box's answer read as a decimal integer; anything else reads as 0.
long AnswerAsNumber(const std::optional<std::string>& answer) {
  if (!answer) return 0;
  long value = 0;
  const char* begin = answer->data();
  const char* end = begin + answer->size();
  const auto [at, error] = std::from_chars(begin, end, value);
  return error == std::errc() && at == end ? value : 0;
}

}  // namespace

std::string PermissionProblemText(const std::string& devicePath, const std::string& reason) {
  return core::FillIn(message::kPermissionProblem, {devicePath, reason});
}

DeviceLink::DeviceLink(HidDeviceController& hid, settings::ParameterBlock& working,
                       core::UserPrompts& prompts, LinkObserver observer, QObject* parent)
    : QObject(parent),
      hid_(hid),
      working_(working),
      prompts_(prompts),
      observer_(std::move(observer)),
      receiver_([this](std::uint8_t command, std::span<const std::uint8_t> payload) {
        HandleReply(command, payload);
      }),
      wifiHost_(kDefaultModuleAddress),
      wifiPort_(kModulePort),
      ackLimit_(kAcknowledgementLimit) {
  sender_.setTransport(&transport_);
  socket_.SetProtocol(cmTcpClient);
  socket_.OnActiveChanged = [this](TcmSocket& socket) {
    // Told on every close, also of a connect that never succeeded; only a connection that was
    // made can be closed.
    if (socket.Active())
      socketUp_ = true;
    else if (std::exchange(socketUp_, false))
      onSocketClosed();
  };
  socket_.OnReceive = [this](TcmSocket&, int, int count, const std::uint8_t* data,
                             const std::string&, int) {
    receiver_.receiveStream({data, static_cast<std::size_t>(count)});
  };
  timer_.setInterval(kSyncIntervalUsb);
  connect(&timer_, &QTimer::timeout, this, &DeviceLink::SyncTick);
}

DeviceLink::~DeviceLink() {
  timer_.stop();
  hid_.OnEnumerate = nullptr;
  hid_.SetOnDeviceChange(nullptr);
  // Replies still on their way are served as a device is given back: a link that is going has
  // nobody left to tell of them, and the windows it would tell may be gone already.
  closing_ = true;
  releaseDevices(nullptr);
}

void DeviceLink::setMicEqMode(int mode) {
  state_.micEqChannel = static_cast<std::uint8_t>(mode);
  controls_.micEqMode = mode;
}

void DeviceLink::setEchoControls(int delayLr, int preDelayLr, int direct) {
  controls_.echoDelayLr = delayLr;
  controls_.echoPreDelayLr = preDelayLr;
  controls_.echoDirect = direct;
}

bool DeviceLink::sendDifference(const settings::EditState& from, const settings::EditState& to,
                                bool wholeBlock) {
  ChangeFlags raised;
  const bool mostOfBlock = RaiseFlagsForDifference(raised, from, to, state_);
  const bool stored = (mostOfBlock || wholeBlock) && state_.connected &&
                      StoreBlockToDevice(kWorkingSettingsSlot) == StoreResult::kStored;
  if (stored) LowerFlagsTheBlockCarries(raised);
  for (std::uint16_t id = 0; id < flag::kCount; ++id)
    if (raised[id] != 0) flags_.set(id);
  return stored;
}

void DeviceLink::setMaxVolume(MaxVolume which, std::uint8_t value) {
  setMaxVolumeForNextStore(which, value);
  markChanged(which == MaxVolume::kMusic ? flag::kMusicMaxVolume.first : flag::kMicMaxVolume.first);
}

void DeviceLink::setMaxVolumeForNextStore(MaxVolume which, std::uint8_t value) {
  (which == MaxVolume::kMusic ? state_.musicMaxVolume : state_.micMaxVolume) = value;
  notifyMaxVolumes(true);
}

void DeviceLink::setPinkNoiseOutput(int output, bool on) {
  const auto bit = static_cast<std::uint8_t>(1u << output);
  std::uint8_t& mask = state_.pinkNoiseMask;
  mask = static_cast<std::uint8_t>(on ? mask | bit : mask & ~bit);
  markChanged(flag::kPinkNoise.first);
}

bool DeviceLink::sendNow(const OutgoingCommand& record) {
  return state_.connected && sender_.SendRecord(record.code, record.payload());
}

void DeviceLink::setPanelLocked(bool locked) {
  state_.panelUnlocked = locked ? 0 : 255;
  SendPanelLock(sender_, state_.panelUnlocked);
}

void DeviceLink::setLockPassword(std::uint16_t password) {
  state_.lockPassword = password;
  SendPanelPassword(sender_, password);
}

void DeviceLink::greet() {
  SendGreeting(sender_);
}

Transport* DeviceLink::replaceTransport(Transport* transport) {
  Transport* const replaced = sender_.transport();
  sender_.setTransport(transport);
  return replaced;
}

void DeviceLink::start() {
  attachHid();
  timer_.start();
}

void DeviceLink::attachHid() {
  hid_.OnEnumerate = [this](HidDevice& device, int index) { return OnHidEnumerate(device, index); };
  // The first assignment of the change handler runs a device change at once; a later one (a
  // new link on the same controller) does not, and the link then looks for itself.
  deviceListExists_ = false;
  hid_.SetOnDeviceChange([this] { OnHidDeviceChange(); });
  if (!deviceListExists_) OnHidDeviceChange();
}

void DeviceLink::releaseDevices(HidDevice* keep) {
  for (HidDevice*& device : deviceList_)
    if (device != keep) hid_.CheckIn(device);
  deviceList_.clear();
  if (keep != nullptr) deviceList_.push_back(keep);
  if (transport_.device() != keep) transport_.setDevice(nullptr);
}

void DeviceLink::OnHidDeviceChange() {
  if (!deviceListExists_) {
    deviceListExists_ = true;
  } else if (state_.wifiMode) {
    // Records go through the socket: a USB change leaves the link as it is.
    releaseDevices(nullptr);
  } else {
    // The kernel hands input reports only to handles open when they arrive. Closing the
    // processor for a change elsewhere on the bus would lose its replies meanwhile, so a
    // processor still present keeps its handle and read thread, and only the rest is
    // enumerated again. A processor this user could not open has no replies to lose: it is
    // enumerated afresh with the rest, as access may have been given since (the change may be
    // just that).
    HidDevice* processor = transport_.device();
    if (processor != nullptr && !processor->pluggedIn()) processor = nullptr;
    const bool lookAgain = processor != nullptr &&
                           (state_.processorWithoutAccess() || !processor->hasReadWriteAccess());
    releaseDevices(lookAgain ? nullptr : processor);
    if (processor == nullptr || lookAgain) loseConnection(LinkLoss::kUnplugged);
  }
  if (!state_.wifiMode) hid_.Enumerate();
}

std::vector<DeviceLink::UsbProcessor> DeviceLink::usbProcessors() const {
  // The controller's list follows the bus under WiFi control too, when the link holds nothing.
  std::vector<UsbProcessor> found;
  for (int i = 0; i < hid_.count(); ++i) {
    const HidDevice* device = hid_.at(i);
    if (device == nullptr || !IsProcessor(*device) || !device->pluggedIn()) continue;
    found.push_back({device->PnPInfo().DevicePath, device->PnPInfo().serialNumber,
                     device->hasReadWriteAccess()});
  }
  return found;
}

void DeviceLink::setUsbPath(std::optional<std::string> path) {
  if (path == usbPath_) return;
  usbPath_ = std::move(path);
  if (state_.wifiMode || !deviceListExists_) return;
  // Every device is given back and the list walked afresh, so the chosen processor is taken as
  // a processor just plugged in is.
  const bool hadProcessor = transport_.device() != nullptr;
  releaseDevices(nullptr);
  if (hadProcessor) loseConnection(LinkLoss::kUnplugged);
  hid_.Enumerate();
}

void DeviceLink::loseConnection(LinkLoss how) {
  if (state_.connected) {
    lastLoss_ = how;
    // Records the processor acknowledged before the link went are not lost with it.
    unacknowledgedAtLoss_ = sender_.outstandingRecords();
  }
  state_.connected = false;
  state_.accessProblem.clear();
  sender_.resetOutstanding();
  notifyConnection();
}

void DeviceLink::onSocketClosed() {
  // Switching WiFi control off closes the socket too; only a link in use is lost. The peer may
  // close before the link counts as up (during the WiFi switch's settle wait): that is told too.
  if (!state_.wifiMode) return;
  loseConnection(LinkLoss::kClosed);
  lastLoss_ = LinkLoss::kClosed;
}

void DeviceLink::onProcessorReadError(HidDevice& device) {
  // A failing read is how the kernel says the device has gone; the udev notice may come late or
  // not at all. The device is released from the event loop, outside its own read thread's event.
  if (transport_.device() != &device) return;
  device.DoUnplug();
  loseConnection(LinkLoss::kUnplugged);
  QTimer::singleShot(0, this, [this] {
    if (transport_.device() != nullptr && !transport_.device()->pluggedIn())
      releaseDevices(nullptr);
  });
}

bool DeviceLink::OnHidEnumerate(HidDevice& device, int index) {
  HidDevice* checkedOut = hid_.CheckOutByIndex(index);
  if (checkedOut == nullptr) return true;
  deviceList_.push_back(checkedOut);
  if (!IsProcessor(*checkedOut)) return true;
  if (usbPath_ && checkedOut->PnPInfo().DevicePath != *usbPath_) return true;
  // The processor kept across a device change stays the one the link talks to.
  if (transport_.device() != nullptr && transport_.device()->pluggedIn()) return true;

  transport_.setDevice(checkedOut);
  if (checkedOut->hasReadWriteAccess()) {
    state_.accessProblem.clear();
    beginLink();
    state_.connected = true;
    state_.syncPending = true;
    lastLoss_.reset();
    checkedOut->SetDataErrorEvent([this](HidDevice& from, int) { onProcessorReadError(from); });
    checkedOut->SetDataEvent(
        [this](HidDevice& from, std::uint8_t reportId, std::span<const std::uint8_t> data) {
          OnHidData(from, reportId, data);
        });
  } else {
    // Nothing can be sent to it, so it is not connected: no greeting, no sync question, and
    // transfers tell the user why instead of saying that no processor is there.
    state_.accessProblem =
        PermissionProblemText(checkedOut->PnPInfo().DevicePath, checkedOut->accessError());
    tellAboutPermission(*checkedOut);
  }
  if (state_.windowShown) notifyConnection();
  (void)device;
  return true;
}

void DeviceLink::tellAboutPermission(const HidDevice& device) {
  // Once per plugged-in device, and after the enumeration: a message box runs an event loop.
  if (!toldAboutPermission_.insert(device.PnPInfo().DeviceID).second) return;
  QTimer::singleShot(0, this, [this, text = state_.accessProblem] { prompts_.showMessage(text); });
}

void DeviceLink::OnHidData(HidDevice&, std::uint8_t, std::span<const std::uint8_t> data) {
  if (closing_) return;
  receiver_.receiveReport(data);
}

void DeviceLink::HandleReply(std::uint8_t command, std::span<const std::uint8_t> payload) {
  if (replyTap_) replyTap_(command, payload);
  switch (command) {
    case code::kStatus:
      if (const auto status = ParseStatusReply(payload)) onStatus(*status);
      break;
    case code::kChunkReply:
      readback_.onChunk(payload);
      break;
    case code::kEndReply: {
      const bool intoWorking = readInto_ == ReadInto::kWorkingBlock;
      const auto result = readback_.onEnd(payload, intoWorking ? working_ : kept_);
      lastRead_ = result;
      if (result == BlockReadback::EndResult::kFactoryInstalled)
        prompts_.showMessage(message::kEmptyOrChecksumError);
      if (result == BlockReadback::EndResult::kIncomplete)
        prompts_.showMessage(IncompleteReadText(readback_));
      state_.readComplete = true;
      if (intoWorking && observer_.refreshAll) observer_.refreshAll();
      const bool installed = result == BlockReadback::EndResult::kInstalled ||
                             result == BlockReadback::EndResult::kFactoryInstalled;
      if (intoWorking && installed && workingReadListener_) workingReadListener_(readSlot_, result);
      break;
    }
    case code::kVersion:
      if (const auto version = ParseVersionReply(payload)) {
        lastVersion_ = version->version;
        state_.versionOk = version->accepted;
        notifyConnection();  // the lamp lights once the processor has answered
        if (!state_.versionOk) prompts_.showMessage(message::kVersionNoMatch);
      }
      break;
    case code::kAcknowledge:
      if (IsAcknowledgement(payload)) sender_.acknowledge();
      break;
    default:
      break;
  }
}

void DeviceLink::onStatus(const StatusReply& status) {
  state_.musicMaxVolume = status.musicMaxVolume;
  state_.micMaxVolume = status.micMaxVolume;
  state_.micEqChannel = status.micEqMode;
  state_.panelUnlocked = status.panelUnlocked;
  state_.lockPassword = status.lockPassword;
  lastStatus_ = status;
  notifyMaxVolumes(!syncQuestionOpen_);
  if (state_.panelUnlocked != 0 || !askLockPassword_) return;
  const auto answer =
      prompts_.askText(KDSP_TRANSLATE_NOOP("Messages", "Processor"),
                       KDSP_TRANSLATE_NOOP("Messages", "Please Input Lock Password"), "0");
  // A cancelled input box answers its initial text.
  if (AnswerAsNumber(answer ? answer : std::optional<std::string>("0")) != state_.lockPassword) {
    prompts_.showMessage(KDSP_TRANSLATE_NOOP("Messages", "Password Error!"));
    if (observer_.quit) observer_.quit();
  }
}

void DeviceLink::SyncTick() {
  if (state_.connected && state_.syncPending) {
    state_.syncPending = false;
    greet();
    // A question in the tick's own slot would hold the timer until it is answered: it is asked
    // without waiting, so the version reply, changed parameters and a processor plugged in again
    // are all served while it is open. One open question stands for every processor found
    // meanwhile.
    if (!std::exchange(syncQuestionOpen_, true)) {
      prompts_.askYesNoAsync(KDSP_TRANSLATE_NOOP("Messages", "Sync"),
                             KDSP_TRANSLATE_NOOP("Messages", "Sync with connecting device?"),
                             [link = QPointer<DeviceLink>(this)](bool yes) {
                               if (link) link->onSyncAnswer(yes);
                             });
    }
    return;
  }
  if (!state_.versionOk) return;
  if (const auto command = TakeNextChange(flags_, working_, state_, controls_))
    sender_.SendBytesCommand(command->code, command->payload());
}

void DeviceLink::onSyncAnswer(bool yes) {
  syncQuestionOpen_ = false;
  // The processor may have gone, or not have answered the greeting yet, by the time the user
  // answers.
  if (yes && state_.connected && state_.versionOk) {
    ReadBlockFromDevice(kWorkingSettingsSlot, 0);
    return;
  }
  // The program's own levels stay: the ones above the processor's maxima come down now.
  notifyMaxVolumes(true);
}

void DeviceLink::setWifiAddress(std::string host, int port) {
  wifiHost_ = std::move(host);
  wifiPort_ = port;
}

void DeviceLink::leaveProcessor() {
  releaseDevices(nullptr);
  state_.connected = false;
  state_.accessProblem.clear();
  beginLink();
  sender_.resetOutstanding();
  notifyConnection();
}

void DeviceLink::beginLink() {
  state_.versionOk = false;
  lastVersion_.reset();
  lastStatus_.reset();
}

void DeviceLink::WiFi1Click() {
  wifiChecked_ = !wifiChecked_;
  // The processor left behind is no longer the one the windows control, and the one chosen is
  // not connected until it is reached and has answered the greeting.
  if (!wifiChecked_) {
    state_.wifiMode = false;
    timer_.setInterval(kSyncIntervalUsb);
    socket_.SetActive(false);
    leaveProcessor();
    // The USB processor is found again as if just plugged in: greeted, and asked about.
    hid_.Enumerate();
    return;
  }
  timer_.setInterval(kSyncIntervalWifi);
  state_.wifiMode = true;
  leaveProcessor();
  if (socket_.Protocol() != cmTcpClient) {
    prompts_.showMessage(KDSP_TRANSLATE_NOOP("Messages", "Wifi Error"));
    return;
  }
  socket_.SetLocalHost("0");
  socket_.SetLocalPort(0);
  socket_.SetRemoteHost(wifiHost_);
  socket_.SetRemotePort(wifiPort_);
  socket_.SetActive(true);
  if (wifiSettleWaits_) {
    WaitMs(kWifiSettleMs);
  } else {
    // Until the connect is made or has failed (a failed one leaves no socket).
    WaitUntil([this] { return socket_.Active() || socket_.Socket() == TcmSocket::kInvalidSocket; },
              kWifiConnectLimit);
  }
  if (socket_.Active()) {
    state_.connected = true;
    lastLoss_.reset();
    notifyConnection();
    greet();
    if (wifiSettleWaits_) WaitMs(kWifiSettleMs);
  }
  timer_.start();
}

StoreResult DeviceLink::StoreBlockToDevice(std::uint8_t slot) {
  return transfer_.StoreBlockToDevice(working_, slot);
}

StoreResult DeviceLink::StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot) {
  return transfer_.StoreBlockToDevice(block, slot);
}

bool DeviceLink::ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode, ReadInto into) {
  lastRead_.reset();
  readback_.begin();
  readInto_ = into;
  readSlot_ = slot;
  return transfer_.ReadBlockFromDevice(slot, mode);
}

bool DeviceLink::waitForReadComplete(std::chrono::milliseconds limit) {
  return WaitUntil([this] { return state_.readComplete || !state_.connected; }, limit) &&
         state_.readComplete;
}

bool DeviceLink::waitForVersion(std::chrono::milliseconds limit) {
  return WaitUntil([this] { return state_.versionOk || !state_.connected; }, limit) &&
         state_.versionOk;
}

void DeviceLink::beginTransfer() {
  if (observer_.busy) observer_.busy(true);
  timerWasActive_ = timer_.isActive();
  timer_.stop();
}

void DeviceLink::endTransfer() {
  if (observer_.busy) observer_.busy(false);
  if (timerWasActive_) timer_.start();
}

WaitOutcome DeviceLink::waitForAcknowledgements() {
  WaitUntil([this] { return sender_.outstandingRecords() == 0 || !state_.connected; }, ackLimit_);
  // An acknowledgement and the close behind it often arrive together: the record was taken.
  const bool takenBeforeTheLoss = lastLoss_ && unacknowledgedAtLoss_ == 0;
  if (!state_.connected && !takenBeforeTheLoss) return lostLink();
  return sender_.outstandingRecords() == 0 ? WaitOutcome::kAcknowledged : WaitOutcome::kTimedOut;
}

WaitOutcome DeviceLink::lostLink() const {
  return lastLoss_ == LinkLoss::kClosed ? WaitOutcome::kClosed : WaitOutcome::kDisconnected;
}

void DeviceLink::notifyConnection() {
  if (observer_.connectionChanged) observer_.connectionChanged();
}

void DeviceLink::notifyMaxVolumes(bool holdLevels) {
  if (observer_.maxVolumesChanged) observer_.maxVolumesChanged(holdLevels);
}

}  // namespace kdsp::device
