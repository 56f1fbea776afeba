// SPDX-License-Identifier: GPL-3.0-or-later
// Building the preset menu.
#include "app/preset_menu.h"

#include <QCoreApplication>
#include <string>
#include <string_view>

#include "app/about_box.h"
#include "app/composed_messages.h"
#include "core/translatable.h"
#include "pages/dialog_widgets.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "settings/preset_slots.h"

namespace kdsp::app {
namespace {

// The slot items' names as the menu resource gives them: nine store places and two hidden ones,
// ten recall places and two hidden ones.
constexpr const char* kStoreItems[settings::kStoreMenuPlaces] = {
    "StartUp1", "N1", "N21", "N31", "N41", "N51", "N62", "N72", "N82", "mA", "mb"};
constexpr const char* kRecallItems[settings::kRecallMenuPlaces] = {
    "StartUp2", "N11", "N22", "N32", "N42", "N52", "N61", "N71", "N81", "N4", "A1", "B1"};

// The slots' names are translated in the menu's context; the numbered ones stay as they are.
QString SlotCaption(std::string_view text) {
  return QCoreApplication::translate("PresetMenu", std::string(text).c_str());
}

}  // namespace

PresetMenu::PresetMenu(app::PresetCommands& commands, PresetMenuActions actions, bool serviceMenu,
                       QWidget* parent)
    : QMenu(parent), commands_(commands), actions_(std::move(actions)) {
  QMenu* save = addMenu(QCoreApplication::translate("PresetMenu", "Save"));
  save->menuAction()->setObjectName("mSave");
  connect(addNamed(save, "mSaveToFile", QCoreApplication::translate("PresetMenu", "Save To File"),
                   true),
          &QAction::triggered, this, [this] { commands_.mSaveToFileClick(); });
  saveToDevice_ = save->addMenu(QCoreApplication::translate("PresetMenu", "Save To Device"));
  saveToDevice_->menuAction()->setObjectName("mSaveToDev");

  QMenu* load = load_ = addMenu(QCoreApplication::translate("PresetMenu", "Load"));
  load->menuAction()->setObjectName("mload");
  connect(addNamed(load, "N2", QCoreApplication::translate("PresetMenu", "Load From File"), true),
          &QAction::triggered, this, [this] { commands_.N2Click(); });
  loadFromDevice_ = load->addMenu(QCoreApplication::translate("PresetMenu", "Load From Device"));
  loadFromDevice_->menuAction()->setObjectName("N3");

  for (int slot = 0; slot < settings::kStoreMenuPlaces; ++slot) {
    const settings::PresetSlot& entry = settings::kPresetSlots[slot];
    QAction* a = addNamed(saveToDevice_, kStoreItems[slot], SlotCaption(entry.caption),
                          entry.visible != 0 && slot != settings::kFactorySlot);
    a->setData(slot);
    connect(a, &QAction::triggered, this,
            [this, a] { commands_.N82Click(static_cast<std::uint8_t>(a->data().toInt())); });
  }
  for (int slot = 0; slot < settings::kRecallMenuPlaces; ++slot) {
    const settings::PresetSlot& entry = settings::kPresetSlots[slot];
    QAction* a = addNamed(loadFromDevice_, kRecallItems[slot], SlotCaption(entry.caption),
                          entry.visible != 0);
    a->setData(slot);
    connect(a, &QAction::triggered, this,
            [this, a] { commands_.N4Click(static_cast<std::uint8_t>(a->data().toInt())); });
  }

  addEditItems();

  connect(addNamed(this, "N6", QCoreApplication::translate("PresetMenu", "burn"), serviceMenu),
          &QAction::triggered, this, [this] { commands_.N6Click(); });
  const auto call = [](const std::function<void()>& f) {
    return [f] {
      if (f) f();
    };
  };
  connect(
      addNamed(this, "mAllSet", QCoreApplication::translate("PresetMenu", "System Control"), true),
      &QAction::triggered, this, call(actions_.mAllSetClick));
  connect(addNamed(this, "mMeasure",
                   QCoreApplication::translate("PresetMenu", "Measurement Analyser…"), true),
          &QAction::triggered, this, call(actions_.measureClick));
  connect(addNamed(this, "mNewRemoteCode",
                   QCoreApplication::translate("PresetMenu", "New Remote Code"), false),
          &QAction::triggered, this, call(actions_.newRemoteCodeClick));
  connect(addNamed(this, "N7", pages::DialogText(pages::kPinkNoiseTitle), serviceMenu),
          &QAction::triggered, this, call(actions_.N7Click));
  QAction* spectrum = addNamed(
      this, "pi1", QCoreApplication::translate("PresetMenu", "Real-Time Spectrum"), serviceMenu);
  spectrum->setCheckable(true);
  connect(spectrum, &QAction::toggled, this, [this](bool on) {
    if (actions_.pi1Click) actions_.pi1Click(on);
  });
  QAction* wifi = addNamed(this, "WiFi1", QCoreApplication::translate("PresetMenu", "WiFi Control"),
                           serviceMenu);
  wifi->setCheckable(true);
  connect(wifi, &QAction::triggered, this, call(actions_.WiFi1Click));
  connect(addNamed(this, "N8", pages::DialogText(pages::kRecordingMixTitle), serviceMenu),
          &QAction::triggered, this, call(actions_.N8Click));
  connect(addNamed(this, "Rev1", QCoreApplication::translate("PresetMenu", "Rev"), serviceMenu),
          &QAction::triggered, this, call(actions_.Rev1Click));
  addSeparator();
  connect(addNamed(this, "mAbout", AboutCaption(), true), &QAction::triggered, this,
          call(actions_.aboutClick));
}

void PresetMenu::addEditItems() {
  const auto call = [](const std::function<void()>& f) {
    return [f] {
      if (f) f();
    };
  };
  struct EditItem {
    const char* name;
    const char* caption;
    QList<QKeySequence> keys;
    const std::function<void()>& click;
  };
  const EditItem items[] = {
      {"mUndo", QT_TRANSLATE_NOOP("PresetMenu", "Undo"), {QKeySequence::Undo}, actions_.undoClick},
      {"mRedo",
       QT_TRANSLATE_NOOP("PresetMenu", "Redo"),
       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
       actions_.redoClick},
      {"mSwitchSide",
       QT_TRANSLATE_NOOP("PresetMenu", "Switch to B"),
       {QKeySequence(Qt::CTRL | Qt::Key_B)},
       actions_.switchSideClick},
      {"mCopyAToB", QT_TRANSLATE_NOOP("PresetMenu", "Copy A to B"), {}, actions_.copyAToBClick},
      {"mCopyBToA", QT_TRANSLATE_NOOP("PresetMenu", "Copy B to A"), {}, actions_.copyBToAClick},
  };
  addSeparator();
  for (const EditItem& item : items) {
    if (std::string_view(item.name) == "mSwitchSide") addSeparator();
    QAction* action =
        addNamed(this, item.name, QCoreApplication::translate("PresetMenu", item.caption), true);
    action->setShortcuts(item.keys);
    // The keys work in every window of the program, and while the menu is closed: the action
    // also belongs to the window that owns the menu.
    action->setShortcutContext(Qt::ApplicationShortcut);
    if (parentWidget() != nullptr) parentWidget()->addAction(action);
    connect(action, &QAction::triggered, this, call(item.click));
  }
  addSeparator();
  showEditState({});
}

void PresetMenu::addProcessorMenu(QMenu* processors) {
  const QList<QAction*> items = actions();
  const qsizetype load = items.indexOf(load_->menuAction());
  insertMenu(load + 1 < items.size() ? items[load + 1] : nullptr, processors);
}

void PresetMenu::showRemoteItems(bool shown) {
  item("mNewRemoteCode")->setVisible(shown);
}

void PresetMenu::showEditState(const EditMenuState& state) {
  // A step's name is composed in English; a slot in it is named as this menu names it.
  const auto stepLookup = [](std::string_view english) {
    const std::string text(english);
    QString translated = QCoreApplication::translate(core::kMessageContext, text.c_str());
    if (translated.toStdString() == text)
      translated = QCoreApplication::translate("PresetMenu", text.c_str());
    return translated.toStdString();
  };
  const auto named = [&](const char* verb, const std::optional<std::string>& step) {
    const QString translated = QCoreApplication::translate("PresetMenu", verb);
    if (!step) return translated;
    return QString("%1 %2").arg(translated, QString::fromStdString(TranslateComposed(
                                                *step, StepNamePatterns(), stepLookup)));
  };
  QAction* undo = item("mUndo");
  undo->setText(named("Undo", state.undoName));
  undo->setEnabled(state.undoName.has_value());
  QAction* redo = item("mRedo");
  redo->setText(named("Redo", state.redoName));
  redo->setEnabled(state.redoName.has_value());
  item("mSwitchSide")
      ->setText(state.liveSide == 0 ? QCoreApplication::translate("PresetMenu", "Switch to B")
                                    : QCoreApplication::translate("PresetMenu", "Switch to A"));
}

QAction* PresetMenu::addNamed(QMenu* menu, const char* name, const QString& caption, bool visible) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setVisible(visible);
  return action;
}

QAction* PresetMenu::item(const char* name) const {
  return findChild<QAction*>(name);
}

}  // namespace kdsp::app
