// SPDX-License-Identifier: GPL-3.0-or-later
// The system control panel's window and handlers.
#include "app/system_control_panel.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRect>
#include <QShowEvent>
#include <QSize>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <utility>

#include "app/bulk_store.h"
#include "core/translatable.h"
#include "settings/field_ranges.h"
#include "settings/setting_file.h"
#include "settings/slot_backup.h"

namespace kdsp::app {
namespace fs = std::filesystem;
namespace {

// The window's outer size is 595 x 382; its client area is that less a single-line frame with
// a caption bar.
constexpr QSize kClientSize{587, 355};
constexpr char kCaption[] = QT_TRANSLATE_NOOP("SystemControlPanel", "System Control");

struct ButtonPlace {
  QPushButton* TForm11::*component;
  QRect rect;
  const char* caption;
  void (TForm11::*click)();
};

constexpr std::array<ButtonPlace, 8> kButtons{{
    {&TForm11::Button1,
     {16, 8, 113, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Open Config"),
     &TForm11::Button1Click},
    {&TForm11::Button2,
     {128, 8, 113, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Save Config"),
     &TForm11::Button2Click},
    {&TForm11::Button3,
     {440, 56, 144, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Modify"),
     &TForm11::Button3Click},
    {&TForm11::Button4,
     {440, 88, 144, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Delete"),
     &TForm11::Button4Click},
    {&TForm11::Button5,
     {440, 176, 144, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Download All To Device"),
     &TForm11::Button5Click},
    {&TForm11::Button6,
     {440, 208, 144, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Upload All From Device"),
     &TForm11::Button6Click},
    {&TForm11::Button7,
     {440, 272, 137, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Lock Panel"),
     &TForm11::Button7Click},
    {&TForm11::Button8,
     {440, 304, 137, 33},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Change Password"),
     &TForm11::Button8Click},
}};

constexpr QRect kListRect{8, 56, 417, 209};
constexpr std::array<int, 2> kListColumnWidths{100, 300};
constexpr std::array<const char*, 2> kListColumns{
    QT_TRANSLATE_NOOP("SystemControlPanel", "Group NO."),
    QT_TRANSLATE_NOOP("SystemControlPanel", "Setting File")};
constexpr QRect kProgressRect{9, 264, 417, 17};
// Room between a maximum-volume label and its box.
constexpr int kLabelGap = 4;

struct MaxVolumePlace {
  QLabel* TForm11::*label;
  QLineEdit* TForm11::*edit;
  QRect labelRect;
  QRect editRect;
  const char* caption;
  void (TForm11::*change)();
};

constexpr std::array<MaxVolumePlace, 2> kMaxVolumeBoxes{{
    {&TForm11::Label1,
     &TForm11::Edit1,
     {16, 304, 76, 17},
     {96, 302, 41, 21},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Music Max Vol"),
     &TForm11::Edit1Change},
    {&TForm11::Label2,
     &TForm11::Edit2,
     {184, 304, 83, 17},
     {271, 302, 41, 21},
     QT_TRANSLATE_NOOP("SystemControlPanel", "Mic Max Vol"),
     &TForm11::Edit2Change},
}};

// The bar rests one below its first slot.
constexpr int kIdleProgress = -1;
constexpr int kLastSlot = settings::kGroupSlotCount - 1;

constexpr long long kMaxVolumeLimit = settings::range::kMaxVolume.max;
// A maximum-volume text that is not a number reads as this, which is out of range.
constexpr long long kNotANumberVolume = 100;
constexpr long long kPasswordLimit = 999;
constexpr std::uint8_t kPanelUnlocked = 255;
constexpr std::uint8_t kPanelLocked = 0;
// A slot is read back for keeping, not recalled into the processor's working settings.
constexpr std::uint8_t kSlotReadMode = 3;

QString Translated(const char* text) {
  return QCoreApplication::translate("SystemControlPanel", text);
}

// The text as a decimal integer, spaces around it allowed; nothing when it is not one.
std::optional<long long> DecimalInteger(const QString& text) {
  bool ok = false;
  const long long value = text.toLongLong(&ok, 10);
  return ok ? std::optional<long long>(value) : std::nullopt;
}

// A message's text, marked QT_TRANSLATE_NOOP("Messages", …), with its values in the installed
// language.
std::string Said(const char* text, const QStringList& values = {}) {
  QString said = QCoreApplication::translate("Messages", text);
  for (const QString& value : values) said = said.arg(value);
  return said.toStdString();
}

std::string UploadStoppedText(int slot, std::string_view reason) {
  return Said(
      QT_TRANSLATE_NOOP("Messages",
                        "Upload All stopped at slot %1: %2. Nothing was written and the "
                        "group was not changed."),
      {QString::fromStdString(SlotLabel(slot)), QString::fromStdString(std::string(reason))});
}

std::string UploadNotWrittenText(std::string_view reason) {
  return Said(QT_TRANSLATE_NOOP("Messages",
                                "Upload All could not write the settings: %1. Nothing in the "
                                "folder was replaced and the group was not changed."),
              {QString::fromStdString(std::string(reason))});
}

// While a transfer runs the processor's replies and the user's input keep being handled, so
// the panel is disabled: a second transfer started from it would mix its records with the
// first one's.
class TransferScope {
 public:
  TransferScope(QWidget& panel, settings::UserDialogs& dialogs) : panel_(panel), dialogs_(dialogs) {
    dialogs_.setBusy(true);
    panel_.setEnabled(false);
  }
  ~TransferScope() {
    panel_.setEnabled(true);
    dialogs_.setBusy(false);
  }
  TransferScope(const TransferScope&) = delete;
  TransferScope& operator=(const TransferScope&) = delete;

 private:
  QWidget& panel_;
  settings::UserDialogs& dialogs_;
};

}  // namespace

TForm11::TForm11(device::DeviceLink& link, settings::UserDialogs& dialogs, fs::path programIni,
                 std::function<void(bool music, int value)> setMainMaxVolumeText, QWidget* parent)
    : QDialog(parent),
      link_(link),
      dialogs_(dialogs),
      programIni_(std::move(programIni)),
      setMainMaxVolumeText_(std::move(setMainMaxVolumeText)) {
  createComponents();
  loadGroup(settings::ReadRememberedGroup(programIni_));
  refreshLockCaption();
}

void TForm11::createComponents() {
  setWindowTitle(Translated(kCaption));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientSize);

  // The components keep the form's names (Button1…, Label1…, Edit1…), which tests look them up by.
  for (std::size_t i = 0; i < kButtons.size(); ++i) {
    const ButtonPlace& place = kButtons[i];
    auto* button = new QPushButton(Translated(place.caption), this);
    button->setObjectName(QStringLiteral("Button%1").arg(i + 1));
    button->setGeometry(place.rect);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, click = place.click] { (this->*click)(); });
    this->*place.component = button;
  }

  ListView1 = new QTableWidget(0, static_cast<int>(kListColumns.size()), this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setGeometry(kListRect);
  ListView1->setHorizontalHeaderLabels({Translated(kListColumns[0]), Translated(kListColumns[1])});
  for (std::size_t c = 0; c < kListColumnWidths.size(); ++c)
    ListView1->setColumnWidth(static_cast<int>(c), kListColumnWidths[c]);
  ListView1->verticalHeader()->hide();
  ListView1->horizontalHeader()->setStretchLastSection(true);
  // All nine slots show at once: the rows share the height the header leaves.
  const int rowHeight = (kListRect.height() - 2 * ListView1->frameWidth() -
                         ListView1->horizontalHeader()->sizeHint().height()) /
                        settings::kGroupSlotCount;
  ListView1->verticalHeader()->setMinimumSectionSize(rowHeight);
  ListView1->verticalHeader()->setDefaultSectionSize(rowHeight);
  ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ListView1->setShowGrid(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setGeometry(kProgressRect);
  ProgressBar1->setRange(kIdleProgress, kLastSlot);
  ProgressBar1->setValue(kIdleProgress);
  ProgressBar1->setTextVisible(false);

  for (std::size_t i = 0; i < kMaxVolumeBoxes.size(); ++i) {
    const MaxVolumePlace& place = kMaxVolumeBoxes[i];
    // A caption wider than its place in this font pushes its box to the right instead of being
    // cut by it.
    auto* label = new QLabel(Translated(place.caption), this);
    label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    QRect labelRect = place.labelRect;
    labelRect.setWidth(std::max(labelRect.width(), label->sizeHint().width()));
    label->setGeometry(labelRect);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    QRect editRect = place.editRect;
    editRect.moveLeft(std::max(editRect.left(), labelRect.right() + 1 + kLabelGap));
    edit->setGeometry(editRect);
    connect(edit, &QLineEdit::textChanged, this,
            [this, change = place.change] { (this->*change)(); });
    this->*place.label = label;
    this->*place.edit = edit;
  }
}

int TForm11::showFromMainWindow() {
  const device::LinkState& state = link_.state();
  Edit1->setText(QString::number(state.musicMaxVolume));
  Edit2->setText(QString::number(state.micMaxVolume));
  return exec();
}

void TForm11::showEvent(QShowEvent* event) {
  // The lock may have changed since the last showing (a status reply, another window).
  refreshLockCaption();
  QDialog::showEvent(event);
}

void TForm11::loadGroup(const std::string& path) {
  groupFiles_ = settings::ReadGroupFile(path);
  refreshList();
}

void TForm11::refreshList() {
  ListView1->clearContents();
  ListView1->setRowCount(0);
  for (int slot = 0; slot < settings::kGroupSlotCount; ++slot) {
    const settings::SlotName& name = settings::kSlotNames[static_cast<std::size_t>(slot)];
    if (name.flag == 0) continue;
    const int row = ListView1->rowCount();
    ListView1->insertRow(row);
    // The slots are named as the Presets menu names them.
    auto* number = new QTableWidgetItem(
        QCoreApplication::translate("PresetMenu", std::string(name.name).c_str()));
    // Modify and Delete act on the slot the row shows, whichever slots are listed.
    number->setData(Qt::UserRole, slot);
    ListView1->setItem(row, 0, number);
    ListView1->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(groupFiles_[slot])));
  }
}

int TForm11::selectedRow() {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    dialogs_.showMessage(panel_message::kSelectOneItem);
    return -1;
  }
  return rows.front().row();
}

void TForm11::setRowFile(int row, std::string path) {
  const int slot = ListView1->item(row, 0)->data(Qt::UserRole).toInt();
  ListView1->item(row, 1)->setText(QString::fromStdString(path));
  groupFiles_[static_cast<std::size_t>(slot)] = std::move(path);
}

void TForm11::Button1Click() {
  const auto path = dialogs_.openFile(settings::filter::kOpenGroup);
  if (!path) return;
  loadGroup(*path);
  if (const settings::WriteResult written = settings::WriteRememberedGroup(programIni_, *path);
      !written)
    dialogs_.showMessage(written.message);
}

void TForm11::Button2Click() {
  const auto path =
      dialogs_.saveFile(settings::filter::kSaveGroup, settings::filter::kSettingSuffix);
  if (!path) return;
  settings::WriteResult written = settings::WriteGroupFile(*path, groupFiles_);
  if (written) written = settings::WriteRememberedGroup(programIni_, *path);
  if (!written) dialogs_.showMessage(written.message);
}

void TForm11::Button3Click() {
  const int row = selectedRow();
  if (row < 0) return;
  // Nothing reaches the disk before Save Config.
  if (auto path = dialogs_.openFile(settings::filter::kOpenSetting))
    setRowFile(row, std::move(*path));
}

void TForm11::Button4Click() {
  const int row = selectedRow();
  if (row >= 0) setRowFile(row, {});
}

void TForm11::Button5Click() {
  if (!link_.state().connected) {
    dialogs_.showMessage(
        device::NotConnectedText(link_.state(), panel_message::kNoDeviceConnecting));
    return;
  }
  std::vector<SlotFile> files;
  for (int slot = 0; slot < settings::kGroupSlotCount; ++slot)
    if (const std::string& path = groupFiles_[static_cast<std::size_t>(slot)]; !path.empty())
      files.push_back({slot, path});
  const BulkStoreReport report = [&] {
    TransferScope transfer(*this, dialogs_);
    return StoreSettingFiles(link_, files, QT_TRANSLATE_NOOP("Messages", "Download All"),
                             [this](int slot) { ProgressBar1->setValue(slot); });
  }();
  dialogs_.showMessage(report.text());
  ProgressBar1->setValue(kIdleProgress);
}

void TForm11::Button6Click() {
  // Without a processor every read would wait out its time limit.
  if (!link_.state().connected) {
    dialogs_.showMessage(
        device::NotConnectedText(link_.state(), panel_message::kNoDeviceConnecting));
    return;
  }
  const auto folder = dialogs_.chooseFolder(panel_message::kChooseUploadFolder);
  if (!folder) return;
  std::optional<std::string> problem;
  {
    TransferScope transfer(*this, dialogs_);
    problem = uploadSlots(*folder);
  }
  if (problem)
    dialogs_.showMessage(*problem);
  else
    dialogs_.showMessage(panel_message::kFinish);
  ProgressBar1->setValue(kIdleProgress);
}

std::optional<std::string> TForm11::uploadSlots(const fs::path& folder) {
  // Every slot is read before anything is written, and the files are written as one set, so
  // a read or a write that fails leaves an earlier backup in the folder whole. The slots are
  // read aside: the windows go on showing the processor's working settings.
  settings::SlotBlocks blocks;
  for (int slot = 0; slot < settings::kGroupSlotCount; ++slot) {
    ProgressBar1->setValue(slot);
    if (auto problem = readSlot(slot)) return UploadStoppedText(slot, *problem);
    blocks[static_cast<std::size_t>(slot)] = link_.keptBlock();
  }
  const settings::SlotBackupResult backup = settings::WriteSlotBackup(folder, blocks);
  if (!backup.written) return UploadNotWrittenText(backup.written.message);
  groupFiles_ = backup.files;
  refreshList();
  if (const settings::WriteResult result =
          settings::WriteRememberedGroup(programIni_, backup.groupFile.string());
      !result)
    return result.message;
  return std::nullopt;
}

std::optional<std::string> TForm11::readSlot(int slot) {
  if (!link_.ReadBlockFromDevice(static_cast<std::uint8_t>(slot), kSlotReadMode,
                                 device::ReadInto::kKeptBlock))
    return Said(QT_TRANSLATE_NOOP("Messages", "the processor could not be asked for it"));
  if (!link_.waitForReadComplete(readLimit_)) {
    if (link_.state().connected)
      return Said(QT_TRANSLATE_NOOP("Messages", "the processor did not send its settings in time"));
    return link_.lastLoss() == device::LinkLoss::kClosed
               ? Said(device::message::kConnectionClosed.data())
               : Said(QT_TRANSLATE_NOOP("Messages", "the processor was disconnected"));
  }
  switch (link_.lastReadResult().value_or(device::BlockReadback::EndResult::kNoBlock)) {
    case device::BlockReadback::EndResult::kNoBlock:
      return Said(QT_TRANSLATE_NOOP("Messages", "the processor sent no settings for it"));
    case device::BlockReadback::EndResult::kIncomplete:
      return Said(QT_TRANSLATE_NOOP("Messages", "its settings arrived incomplete (%1 missing)"),
                  {QString::fromStdString(link_.missingChunks())});
    default:  // installed, or an empty slot's factory defaults
      return std::nullopt;
  }
}

void TForm11::Edit1Change() {
  maxVolumeChanged(*Edit1, true);
}

void TForm11::Edit2Change() {
  maxVolumeChanged(*Edit2, false);
}

void TForm11::maxVolumeChanged(const QLineEdit& edit, bool music) {
  const long long value = DecimalInteger(edit.text()).value_or(kNotANumberVolume);
  if (value < 0 || value > kMaxVolumeLimit) return;
  // Not marked changed: the maxima travel with the next store into a slot.
  link_.setMaxVolumeForNextStore(music ? device::MaxVolume::kMusic : device::MaxVolume::kMic,
                                 static_cast<std::uint8_t>(value));
  if (setMainMaxVolumeText_) setMainMaxVolumeText_(music, static_cast<int>(value));
}

void TForm11::refreshLockCaption() {
  Button7->setText(link_.state().panelUnlocked != kPanelLocked
                       ? QCoreApplication::translate("SystemControlPanel", "Lock Panel")
                       : QCoreApplication::translate("SystemControlPanel", "Unlock Panel"));
}

std::optional<bool> TForm11::passwordMatches(std::string_view prompt) {
  const auto answer = dialogs_.askText(KDSP_TRANSLATE_NOOP("Messages", "Processor"), prompt, "0");
  // A cancelled box does nothing, rather than counting as its initial "0".
  if (!answer) return std::nullopt;
  const long long typed = DecimalInteger(QString::fromStdString(*answer)).value_or(0);
  return typed == link_.state().lockPassword;
}

void TForm11::Button7Click() {
  const auto match = passwordMatches(KDSP_TRANSLATE_NOOP("Messages", "Please Input Password"));
  if (!match) return;
  if (!*match) {
    dialogs_.showMessage(panel_message::kPasswordError);
    return;
  }
  link_.setPanelLocked(link_.state().panelUnlocked == kPanelUnlocked);
  refreshLockCaption();
}

void TForm11::Button8Click() {
  const auto match = passwordMatches(KDSP_TRANSLATE_NOOP("Messages", "Please Input Old Password "));
  if (!match) return;
  if (!*match) {
    dialogs_.showMessage(panel_message::kPasswordError);
    return;
  }
  const auto answer =
      dialogs_.askText(KDSP_TRANSLATE_NOOP("Messages", "New Password"),
                       KDSP_TRANSLATE_NOOP("Messages", "Please Input New Password ( 0 -999)"),
                       std::to_string(link_.state().lockPassword));
  if (!answer) return;
  // A text that is not a number counts as too large.
  const long long password =
      DecimalInteger(QString::fromStdString(*answer)).value_or(kPasswordLimit + 1);
  if (password < 0 || password > kPasswordLimit) {
    dialogs_.showMessage(panel_message::kPasswordTooLarge);
    return;
  }
  link_.setLockPassword(static_cast<std::uint16_t>(password));
}

}  // namespace kdsp::app
