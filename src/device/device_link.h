// SPDX-License-Identifier: GPL-3.0-or-later
// The connection to the processor that the main window owns: it finds the processor among the
// HID devices or reaches it through the WiFi module, acts on its replies, and sends every changed
// parameter on the synchronisation tick, one record per tick in the command table's order.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "core/usb_identity.h"
#include "core/user_prompts.h"
#include "device/block_transfer.h"
#include "device/change_flags.h"
#include "device/command_table.h"
#include "device/link_state.h"
#include "device/link_transport.h"
#include "device/record_receiver.h"
#include "device/record_sender.h"
#include "device/replies.h"
#include "device/tcm_socket.h"
#include "settings/edit_state.h"
#include "settings/parameter_block.h"

namespace kdsp::device {

class HidDevice;
class HidDeviceController;

// What the link asks of the window that owns it, besides questions and messages.
struct LinkObserver {
  std::function<void()> refreshAll;         // reload every control from the working block
  std::function<void()> connectionChanged;  // repaint the connection indicator
  std::function<void(bool busy)> busy;      // wait cursor during transfers
  std::function<void()> quit;               // a wrong panel-lock password ends the program
  // The maximum volumes were set (by the processor's status or by a window): show them and
  // limit the master faders by them. With holdLevels, master levels above a maximum come down
  // to it at once, on screen and, through their flags, at the processor. Levels are not held
  // while the sync question is open: a read may be about to bring the processor's own.
  std::function<void(bool holdLevels)> maxVolumesChanged;
};

// How a link in use went down: the processor left the bus (or its handle failed), or the WiFi
// connection was closed.
enum class LinkLoss { kUnplugged, kClosed };

// The two maximum volumes the processor keeps beside the parameter block.
enum class MaxVolume { kMusic, kMic };

// Where a block read lands: in the working block, which every window shows, or in a block of
// its own for keeping (a backup of the slots), which leaves the windows as they are.
enum class ReadInto { kWorkingBlock, kKeptBlock };

// What to tell a user whose processor is present but may not be opened, and how to fix it.
std::string PermissionProblemText(const std::string& devicePath, const std::string& reason);

class DeviceLink : public QObject, private TransferHost {
  Q_OBJECT

 public:
  DeviceLink(HidDeviceController& hid, settings::ParameterBlock& working,
             core::UserPrompts& prompts, LinkObserver observer = {}, QObject* parent = nullptr);
  ~DeviceLink() override;

  // ---- What the windows ask of the link ----
  // The byte a control raises when its value changes; the control keeps the pointer and the
  // synchronisation tick sends the parameter.
  std::uint8_t* changeFlag(std::uint16_t id) { return flags_.pointer(id); }
  // Raises a parameter's flag: the tick sends it.
  void markChanged(std::uint16_t id) { flags_.set(id); }
  // Lowers a parameter's flag: a change raised but not yet sent is not sent.
  void withdrawChange(std::uint16_t id) { flags_[id] = 0; }
  // The Mic Equalizer's mode (0..2): which of the two band sets its strips edit. The mode
  // knob's record carries it.
  void setMicEqMode(int mode);
  // The Echo Effect's values that travel from its faders rather than from the block.
  void setEchoControls(int delayLr, int preDelayLr, int direct);
  // A maximum volume that the tick sends on its own.
  void setMaxVolume(MaxVolume which, std::uint8_t value);
  // A maximum volume kept without sending it: it travels with the next store into a slot.
  void setMaxVolumeForNextStore(MaxVolume which, std::uint8_t value);
  // Pink noise on one output (0..7) on or off; the tick sends the whole mask.
  void setPinkNoiseOutput(int output, bool on);
  // A pink-noise mask raised but not yet sent is not sent.
  void withdrawPinkNoise() { flags_.clear(flag::kPinkNoise); }
  // The values the controls hold beside the block, as the windows last published them.
  const ControlValues& controlValues() const { return controls_; }
  // Brings the processor from one set of working settings to the one the windows now hold (an
  // undo, a redo, an A/B switch): every command whose record differs goes on the tick, in the
  // table's order. When most of the block changed, the whole working block is stored as the
  // processor's working settings at once, as after loading a file, and the tick sends only what
  // the block does not carry; so it is with wholeBlock, whatever changed. Answers whether the
  // whole block was stored.
  bool sendDifference(const settings::EditState& from, const settings::EditState& to,
                      bool wholeBlock = false);
  // Sends one record of the command table at once, outside the tick (an edit from the command
  // line); awaitAcknowledgements waits for its acknowledgement. False when it could not be sent.
  bool sendNow(const OutgoingCommand& record);
  // Locks or unlocks the processor's front panel at once.
  void setPanelLocked(bool locked);
  // Gives the front panel a new lock password (0..999) at once.
  void setLockPassword(std::uint16_t password);
  // Greets the processor: it answers with its version and its status.
  void greet();
  // Told of every error of the WiFi socket, a failed connect included.
  void setSocketErrorHandler(TcmSocket::ErrorEvent handler) {
    socket_.OnError = std::move(handler);
  }
  // Puts a transport between the records and the link's own (a traffic recorder); answers the
  // one it replaced, which the newcomer passes the records on to and gives back when it goes.
  Transport* replaceTransport(Transport* transport);

  const LinkState& state() const { return state_; }
  // What tests read of the link's insides; the windows go through the intents above.
  struct Insides {
    const ChangeFlags& flags;
    const ControlValues& controls;
    const RecordSender& sender;
    const TcmSocket& socket;
  };
  Insides insides() const { return {flags_, controls_, sender_, socket_}; }

  // The processor the link holds on USB: open, or present without access (see
  // LinkState::accessProblem).
  HidDevice* device() const { return transport_.device(); }

  // A processor found on USB, as the user chooses among several.
  struct UsbProcessor {
    std::string path;    // what --connect usb:PATH names
    std::string serial;  // empty when the processor reports none
    bool accessible = false;
  };
  // The processors on USB now, in the platform's list order.
  std::vector<UsbProcessor> usbProcessors() const;
  // The processor the link takes on USB: the one at path, or, without a path, the first one
  // found, as with a single processor plugged in. A new choice lets go of the processor in use
  // and takes the chosen one as if it had just been plugged in (greeting, sync question); a
  // path not present leaves the link without a processor until one is plugged in there. Under
  // WiFi control the choice waits for USB control to come back.
  void setUsbPath(std::optional<std::string> path);
  const std::optional<std::string>& usbPath() const { return usbPath_; }

  // Window creation: the first enumeration and the synchronisation timer.
  void start();
  // The window has been shown: block reads and uploads may run.
  void FormShow() { state_.windowShown = true; }

  // HID layer events.
  void OnHidDeviceChange();
  bool OnHidEnumerate(HidDevice& device, int index);
  void OnHidData(HidDevice& device, std::uint8_t reportId, std::span<const std::uint8_t> data);
  // Every valid record from the processor.
  void HandleReply(std::uint8_t command, std::span<const std::uint8_t> payload);
  // The synchronisation tick. A processor just found is greeted and the user is asked whether
  // to take its working settings; the ticks go on while the question is open.
  void SyncTick();
  // The sync question is on screen. A processor found again meanwhile is greeted, and the open
  // question stands for it too.
  bool syncQuestionOpen() const { return syncQuestionOpen_; }

  // WiFi control on and off, toward the given module address.
  void WiFi1Click();
  bool wifiChecked() const { return wifiChecked_; }
  void setWifiAddress(std::string host, int port);
  const std::string& wifiHost() const { return wifiHost_; }
  int wifiPort() const { return wifiPort_; }
  // The WiFi switch waits a fixed settle time for the module, once for the connection and once
  // after the greeting, as the module needs when the program switches to it. Without them the
  // switch waits for the connection itself and not after the greeting: for a tool that waits
  // for the replies it needs, a command takes what its work takes.
  void setWifiSettleWaits(bool settle) { wifiSettleWaits_ = settle; }

  // Block procedures with the event loop running; see BlockTransfer.
  StoreResult StoreBlockToDevice(std::uint8_t slot);
  // Stores a block other than the working one (a setting file on its way into a slot); it is
  // prepared for the upload as the working block would be, and the working block is untouched.
  StoreResult StoreBlockToDevice(settings::ParameterBlock& block, std::uint8_t slot);
  bool ReadBlockFromDevice(std::uint8_t slot, std::uint8_t mode,
                           ReadInto into = ReadInto::kWorkingBlock);
  // The block of the last read into ReadInto::kKeptBlock that was installed.
  const settings::ParameterBlock& keptBlock() const { return kept_; }
  // Waits, with the event loop running, for the end of the block read asked for last.
  bool waitForReadComplete(std::chrono::milliseconds limit);
  // Waits for the version reply to the greeting.
  bool waitForVersion(std::chrono::milliseconds limit);
  // Keeps the event loop running until every record sent has been acknowledged.
  WaitOutcome awaitAcknowledgements() { return waitForAcknowledgements(); }
  // The version byte of the last version reply, if one has arrived.
  std::optional<std::uint8_t> lastVersion() const { return lastVersion_; }
  // The last status reply, if one has arrived since the link came up.
  const std::optional<StatusReply>& lastStatus() const { return lastStatus_; }
  // The end of the last block read: whether the received block was installed.
  std::optional<BlockReadback::EndResult> lastReadResult() const { return lastRead_; }
  // The chunks the last block read lacked (see BlockReadback::missingChunks).
  std::string missingChunks() const { return readback_.missingChunks(); }
  // How the link was last lost, while it is down; nothing while connected or never connected.
  std::optional<LinkLoss> lastLoss() const { return lastLoss_; }

  void setAcknowledgementLimit(std::chrono::milliseconds limit) { ackLimit_ = limit; }
  // Whether a locked panel's status asks for the password (the program does; tools that handle
  // the lock themselves do not).
  void setLockQuestion(bool ask) { askLockPassword_ = ask; }
  // Connects to the HID layer (the first enumeration runs at once) without starting the
  // synchronisation timer; start() does both.
  void attachHid();
  QTimer& syncTimer() { return timer_; }
  // Sees every valid record from the processor before the link acts on it (a traffic recorder).
  using ReplyTap = std::function<void(std::uint8_t command, std::span<const std::uint8_t> payload)>;
  void setReplyTap(ReplyTap tap) { replyTap_ = std::move(tap); }
  // Told, after the windows have been refreshed, whenever a read into the working block has
  // installed a block: the slot that was read, and whether it brought the processor's block or,
  // the slot being empty or broken, the factory defaults.
  using WorkingReadListener = std::function<void(std::uint8_t slot, BlockReadback::EndResult)>;
  void setWorkingReadListener(WorkingReadListener listener) {
    workingReadListener_ = std::move(listener);
  }

 private:
  // TransferHost.
  void beginTransfer() override;
  void endTransfer() override;
  WaitOutcome waitForAcknowledgements() override;
  WaitOutcome lostLink() const override;

  // Gives every device back but keep.
  void releaseDevices(HidDevice* keep);
  // Lets go of the processor in use, which is not lost but left for another one.
  void leaveProcessor();
  // A processor is taken: nothing is known of it until it answers the greeting.
  void beginLink();
  void loseConnection(LinkLoss how);
  void onSocketClosed();
  void onProcessorReadError(HidDevice& device);
  // Shows the access problem of the processor just found, once per plugged-in device.
  void tellAboutPermission(const HidDevice& device);
  // The answer to the sync question, whenever it comes.
  void onSyncAnswer(bool yes);
  void onStatus(const StatusReply& status);
  void notifyConnection();
  void notifyMaxVolumes(bool holdLevels);

  HidDeviceController& hid_;
  settings::ParameterBlock& working_;
  core::UserPrompts& prompts_;
  LinkObserver observer_;

  LinkState state_;
  ChangeFlags flags_;
  ControlValues controls_;
  TcmSocket socket_;
  LinkTransport transport_{state_, socket_};
  RecordSender sender_{state_, prompts_};
  RecordReceiver receiver_;
  BlockTransfer transfer_{state_, sender_, *this, prompts_};
  BlockReadback readback_;
  ReadInto readInto_ = ReadInto::kWorkingBlock;
  std::uint8_t readSlot_ = 0;
  settings::ParameterBlock kept_{};
  QTimer timer_;

  std::vector<HidDevice*> deviceList_;
  std::optional<std::string> usbPath_;
  bool deviceListExists_ = false;
  std::set<std::uint32_t> toldAboutPermission_;
  bool wifiChecked_ = false;
  bool wifiSettleWaits_ = true;
  std::string wifiHost_;
  int wifiPort_;
  std::chrono::milliseconds ackLimit_;
  std::optional<StatusReply> lastStatus_;
  std::optional<std::uint8_t> lastVersion_;
  std::optional<BlockReadback::EndResult> lastRead_;
  std::optional<LinkLoss> lastLoss_;
  bool askLockPassword_ = true;
  bool syncQuestionOpen_ = false;
  bool timerWasActive_ = false;
  bool socketUp_ = false;
  bool closing_ = false;  // the link is being destroyed
  unsigned unacknowledgedAtLoss_ = 0;
  ReplyTap replyTap_;
  WorkingReadListener workingReadListener_;
};

}  // namespace kdsp::device
