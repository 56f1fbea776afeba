// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/processor_menu.h"

#include <QCoreApplication>
#include <optional>
#include <string>

#include "core/translatable.h"
#include "settings/wifi_processors.h"

namespace kdsp::app {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// The module's address out of the box, offered when a WiFi processor is added.
constexpr char kModuleAddress[] = "192.168.4.1:8899";

constexpr std::string_view kAddTitle = KDSP_TRANSLATE_NOOP("Messages", "Add WiFi Processor");
constexpr std::string_view kAskName =
    KDSP_TRANSLATE_NOOP("Messages", "Name of the processor (a room, a stage):");
constexpr std::string_view kAskAddress =
    KDSP_TRANSLATE_NOOP("Messages", "Address of its WiFi module (HOST:PORT):");
constexpr std::string_view kBadAddress = KDSP_TRANSLATE_NOOP(
    "Messages", "An address is a host name or IP address and a port, such as 192.168.4.1:8899.");

}  // namespace

ProcessorMenu::ProcessorMenu(ProcessorChoice& choice, core::UserPrompts& prompts, QWidget* parent)
    : QMenu(QCoreApplication::translate("PresetMenu", "Processor"), parent),
      choice_(choice),
      prompts_(prompts) {
  menuAction()->setObjectName("mProcessor");
  forget_ = new QMenu(QCoreApplication::translate("PresetMenu", "Forget WiFi Processor"), this);
  forget_->menuAction()->setObjectName("mProcessorForget");
  connect(this, &QMenu::aboutToShow, this, &ProcessorMenu::refresh);
  refresh();
}

void ProcessorMenu::refresh() {
  clear();
  const ProcessorChoice::Current current = choice_.current();
  addUsbItems(current);
  addSeparator();
  addWifiItems(current);
}

void ProcessorMenu::addUsbItems(const ProcessorChoice::Current& current) {
  const auto processors = choice_.usbProcessors();
  if (processors.empty()) {
    QAction* none = addAction(QCoreApplication::translate("PresetMenu", "No processor on USB"));
    none->setObjectName("mProcessorNoUsb");
    none->setEnabled(false);
    return;
  }
  for (const auto& processor : processors) {
    QString caption = QCoreApplication::translate("PresetMenu", "USB %1").arg(Text(processor.path));
    if (!processor.serial.empty()) caption += QStringLiteral("  ") + Text(processor.serial);
    if (!processor.accessible)
      caption += QStringLiteral("  ") + QCoreApplication::translate("PresetMenu", "(no access)");
    QAction* item = addAction(caption);
    item->setObjectName(Text("mProcessorUsb:" + processor.path));
    item->setCheckable(true);
    item->setChecked(!current.wifi && current.usbPath == processor.path);
    connect(item, &QAction::triggered, this,
            [this, path = processor.path] { choice_.chooseUsb(path); });
  }
}

void ProcessorMenu::addWifiItems(const ProcessorChoice::Current& current) {
  const auto processors = choice_.wifiProcessors();
  for (const auto& processor : processors) {
    QAction* item =
        addAction(QCoreApplication::translate("PresetMenu", "%1 (WiFi %2)")
                      .arg(Text(processor.name), Text(settings::HostPortText(processor.address))));
    item->setObjectName(Text("mProcessorWifi:" + processor.name));
    item->setCheckable(true);
    item->setChecked(current.wifi && current.address == processor.address);
    connect(item, &QAction::triggered, this,
            [this, address = processor.address] { choice_.chooseWifi(address); });
  }
  if (!processors.empty()) addSeparator();
  QAction* add = addAction(QCoreApplication::translate("PresetMenu", "Add WiFi Processor…"));
  add->setObjectName("mProcessorAdd");
  connect(add, &QAction::triggered, this, [this] { askForWifiProcessor(); });

  // The submenu stays; its items are made afresh.
  forget_->clear();
  addMenu(forget_);
  forget_->setEnabled(!processors.empty());
  for (const auto& processor : processors) {
    QAction* item = forget_->addAction(Text(processor.name));
    item->setObjectName(Text("mProcessorForget:" + processor.name));
    connect(item, &QAction::triggered, this, [this, name = processor.name] {
      if (const auto forgotten = choice_.forget(name); !forgotten)
        prompts_.showMessage(forgotten.message);
    });
  }
}

void ProcessorMenu::askForWifiProcessor() {
  const std::optional<std::string> name = prompts_.askText(kAddTitle, kAskName, "");
  if (!name) return;
  std::optional<settings::HostPort> address;
  std::string typed = kModuleAddress;
  while (!address) {
    const std::optional<std::string> answer = prompts_.askText(kAddTitle, kAskAddress, typed);
    if (!answer) return;
    address = settings::ParseHostPort(*answer);
    if (!address) prompts_.showMessage(kBadAddress);
    typed = *answer;
  }
  if (const auto added = choice_.add({*name, *address}); !added)
    prompts_.showMessage(added.message);
}

}  // namespace kdsp::app
