// SPDX-License-Identifier: GPL-3.0-or-later
// Creating the program's windows in their order.
#include "app/program.h"

#include <QStandardPaths>

#include "app/about_box.h"
#include "app/language.h"
#include "app/system_control_panel.h"
#include "app/window_placement.h"
#include "pages/audio_input_source.h"
#include "pages/effect_page.h"
#include "pages/measurement_window.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "pages/spectrum_analyser.h"

namespace kdsp::app {

std::filesystem::path Program::DefaultProgramIni() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  std::filesystem::path path =
      folder.isEmpty() ? std::filesystem::path(".") : std::filesystem::path(folder.toStdString());
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return path / "kdsp.ini";
}

Program::Program(device::HidPlatform& platform, settings::UserDialogs& dialogs,
                 std::filesystem::path programIni, bool serviceMenu)
    : hid_(platform), dialogs_(dialogs), programIni_(programIni) {
  settings::ParameterBlock& working = settings::WorkingBlock();
  main_ = std::make_unique<TForm1>(hid_, working, dialogs_);
  created_.push_back(main_.get());
  device::DeviceLink& link = main_->link();
  const auto refreshAll = [this] { main_->RefreshAll(); };

  for (int slot = 0; slot < settings::kPageCount; ++slot) {
    const auto id = static_cast<settings::PageId>(slot);
    auto page = std::make_unique<pages::EffectPage>(
        skin::page_layout::LayoutOf(id), main_->skinImages(), main_->skinFonts(), working, link);
    page->setOpenFlag(&main_->pageOpenFlags().open[slot]);
    PlaceOnFirstShow(*page, *main_);
    main_->setPage(id, page.get(), [p = page.get()] { p->refresh(); });
    created_.push_back(page.get());
    pages_[static_cast<std::size_t>(slot)] = std::move(page);
  }

  // The analyser repaints the open pages' charts directly, in slot order, after each buffer.
  analyser_ = std::make_unique<pages::SpectrumAnalyser>(
      std::make_unique<pages::AudioInputSource>(), main_->pageOpenFlags(), repaintHooks_, dialogs_);
  for (int slot = 0; slot < settings::kPageCount; ++slot) {
    pages::EffectPage* page = pages_[static_cast<std::size_t>(slot)].get();
    repaintHooks_[static_cast<std::size_t>(slot)] = [page] { page->repaintChart(); };
    page->setSpectrumSource([analyser = analyser_.get()](display::ResponseChart& chart) {
      chart.showSpectrum = analyser->showSpectrum();
      chart.spectrum = analyser->spectrum().data();
      chart.spectrumStale = analyser->spectrumStale();
    });
  }

  panel_ = std::make_unique<app::TForm11>(
      link, dialogs_, std::move(programIni),
      [this](bool music, int value) {
        main_->maxVolumeBox(music ? 0 : 1).setText(std::to_string(value));
      },
      main_.get());
  // The dialogs belong to the main window, so they stay above it.
  pinkNoise_ = std::make_unique<pages::TForm12>(
      working, link, [this](int) { main_->RefreshMain(); }, main_.get());
  recordingMix_ = std::make_unique<pages::TForm13>(link, main_.get());
  reverb_ = std::make_unique<pages::TForm14>(working, link, main_.get());
  main_->addMaxVolumesListener([this] { recordingMix_->showMaxVolumes(); });
  measurement_ = std::make_unique<pages::MeasurementWindow>(
      std::make_unique<pages::AudioInputSource>(), dialogs_, main_.get());
  PlaceOnFirstShow(*measurement_, *main_);
  for (QWidget* w : std::initializer_list<QWidget*>{panel_.get(), pinkNoise_.get(),
                                                    recordingMix_.get(), reverb_.get()}) {
    PlaceOnFirstShow(*w, *main_);
    created_.push_back(w);
  }

  commands_ = std::make_unique<app::PresetCommands>(link, working, dialogs_, refreshAll);
  PresetMenuActions actions;
  actions.mAllSetClick = [this] { panel_->showFromMainWindow(); };
  const auto open = [](QWidget* dialog) { return [dialog] { ShowInFront(*dialog); }; };
  actions.N7Click = open(pinkNoise_.get());
  actions.measureClick = open(measurement_.get());
  actions.N8Click = open(recordingMix_.get());
  actions.Rev1Click = open(reverb_.get());
  actions.WiFi1Click = [&link] { link.WiFi1Click(); };
  actions.pi1Click = [this](bool on) { analyser_->pi1Click(on); };
  actions.undoClick = [this] { edits_->undo(); };
  actions.redoClick = [this] { edits_->redo(); };
  actions.switchSideClick = [this] { edits_->switchSide(); };
  actions.copyAToBClick = [this] {
    edits_->copySide(settings::EditSession::kSideA, settings::EditSession::kSideB);
  };
  actions.copyBToAClick = [this] {
    edits_->copySide(settings::EditSession::kSideB, settings::EditSession::kSideA);
  };
  actions.aboutClick = [this] { ShowAboutBox(main_.get()); };
  actions.newRemoteCodeClick = [this] {
    if (remote_) remote_->newCode();
  };
  menu_ = std::make_unique<PresetMenu>(*commands_, actions, serviceMenu, main_.get());
  QObject::connect(analyser_.get(), &pages::SpectrumAnalyser::switchedOff, menu_.get(),
                   [this] { menu_->item("pi1")->setChecked(false); });
  processorChoice_ = std::make_unique<ProcessorChoice>(
      link, programIni_, [this](bool checked) { menu_->item("WiFi1")->setChecked(checked); });
  processorMenu_ = std::make_unique<ProcessorMenu>(*processorChoice_, dialogs_, menu_.get());
  menu_->addProcessorMenu(processorMenu_.get());
  main_->setPresetsMenu(menu_.get());

  edits_ = std::make_unique<EditRecorder>(working, link, refreshAll);
  edits_->watch(*main_);
  for (auto& page : pages_) edits_->watch(*page);
  edits_->watch(*reverb_, "Reverb");
  edits_->watch(*pinkNoise_, "Pink Noise");
  commands_->setRecorder(edits_.get());
  for (std::size_t slot = 0; slot < pages_.size(); ++slot) {
    chartCommands_[slot] = std::make_unique<ChartCommands>(*pages_[slot], working, link, dialogs_,
                                                           *edits_, refreshAll);
    pages_[slot]->setChartMenu(chartCommands_[slot]->actions());
  }
  // The processor's own working settings, taken at the sync question, start a fresh history.
  link.setWorkingReadListener([this](std::uint8_t slot, device::BlockReadback::EndResult result) {
    if (slot != device::kWorkingSettingsSlot) return;
    edits_->startFresh(result == device::BlockReadback::EndResult::kFactoryInstalled
                           ? settings::SettingsOrigin::Factory()
                           : settings::SettingsOrigin::Processor());
  });
  main_->addMaxVolumesListener([this] { edits_->adoptProgramChange(); });
  edits_->setChangeListener([this] { showEditState(); });
  main_->setSideClickHandler([this](int side) {
    if (side != edits_->session().liveSide()) edits_->switchSide();
  });
  showEditState();
}

void Program::showEditState() {
  const settings::EditSession& session = edits_->session();
  const auto text = [](std::optional<std::string_view> name) -> std::optional<std::string> {
    if (!name) return std::nullopt;
    return std::string(*name);
  };
  menu_->showEditState({text(session.undoName()), text(session.redoName()), session.liveSide()});
  main_->showSettingsStatus({session.liveSide(),
                             settings::OriginText(session.origin(), &TranslateText),
                             session.modified(), edits_->onProcessor()});
}

bool Program::startRemote(const remote::ListenAddress& address, QString& error) {
  if (remote_) return true;
  device::DeviceLink& link = main_->link();
  auto control = std::make_unique<RemoteControl>(settings::WorkingBlock(), link, *edits_,
                                                 *commands_, [this] { main_->RefreshAll(); });
  auto phone = std::make_unique<PhoneRemote>(*control, programIni_);
  phone->setLineListener([this] { main_->showRemoteLine(remote_->line()); });
  // The line listener reads remote_, so the remote is in place before it starts.
  remoteControl_ = std::move(control);
  remote_ = std::move(phone);
  if (!remote_->start(address, error)) {
    remote_.reset();
    remoteControl_.reset();
    return false;
  }
  // The working settings are compared where the processor is told of them.
  QObject::connect(&link.syncTimer(), &QTimer::timeout, remoteControl_.get(),
                   [control = remoteControl_.get()] { control->followChanges(); });
  menu_->showRemoteItems(true);
  return true;
}

Program::~Program() {
  // The remote's server talks to its target, which borrows the windows' state.
  remote_.reset();
  remoteControl_.reset();
  // The dialogs borrow the link; the main window owns it and goes last.
  for (auto& commands : chartCommands_) commands.reset();
  edits_.reset();
  processorMenu_.reset();
  processorChoice_.reset();
  menu_.reset();
  analyser_.reset();
  measurement_.reset();
  reverb_.reset();
  recordingMix_.reset();
  pinkNoise_.reset();
  panel_.reset();
  commands_.reset();
  for (auto& page : pages_) page.reset();
  main_.reset();
}

}  // namespace kdsp::app
