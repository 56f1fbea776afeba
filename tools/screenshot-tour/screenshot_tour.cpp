// kdsp-screenshot-tour: starts the program's windows with the simulated processor, opens each
// window, page, dialog, menu and standard box the user meets, and saves each as it paints itself
// into a folder (docs/screenshots through scripts/screenshots).
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <string>

#include "app/program.h"
#include "app/qt_user_dialogs.h"
#include "app/system_control_panel.h"
#include "device/virtual_hid_platform.h"
#include "pages/effect_page.h"
#include "pages/pink_noise_dialog.h"
#include "pages/recording_mix_dialog.h"
#include "pages/reverb_dialog.h"
#include "settings/page_catalogue.h"
#include "sim/simulated_hid_device.h"
#include "skin/dark_theme.h"

namespace {

using namespace kdsp;

// Long enough for the link's replies and the repaints they cause.
constexpr int kStartSettleMs = 1500;
constexpr int kWindowSettleMs = 300;

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

class Tour {
 public:
  explicit Tour(QDir folder) : folder_(std::move(folder)) {}

  int saved() const { return saved_; }
  int failed() const { return failed_; }

  void save(QWidget* window, const QString& name) {
    if (window == nullptr) {
      std::fprintf(stderr, "no window to save as %s\n", qPrintable(name));
      ++failed_;
      return;
    }
    const QString path = folder_.filePath(name + ".png");
    if (window->grab().save(path)) {
      std::printf("%s\n", qPrintable(path));
      ++saved_;
    } else {
      std::fprintf(stderr, "could not save %s\n", qPrintable(path));
      ++failed_;
    }
  }

  // A window shown without a loop of its own: shown, saved, hidden again.
  void showAndSave(QWidget& window, const QString& name) {
    window.show();
    window.raise();
    Settle(kWindowSettleMs);
    save(&window, name);
    window.hide();
  }

  // A window with a loop of its own (open blocks until it closes): saved once it paints, then
  // closed, which answers it as Escape would.
  void saveModal(const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(kWindowSettleMs, [this, name] {
      QWidget* modal = QApplication::activeModalWidget();
      save(modal, name);
      if (modal != nullptr) modal->close();
    });
    open();
  }

 private:
  QDir folder_;
  int saved_ = 0;
  int failed_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("kdsp");
  QApplication::setApplicationDisplayName("Karaoke DSP Control");
  skin::ApplyDarkTheme();
  if (argc != 2) {
    std::fputs("usage: kdsp-screenshot-tour FOLDER\n", stderr);
    return 2;
  }
  QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(".")) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }

  device::VirtualHidPlatform platform;
  platform.plug(std::make_shared<sim::SimulatedHidDevice>());
  app::QtUserDialogs dialogs;
  // A program INI of its own: the user's remembered group file is neither shown nor changed.
  const QTemporaryDir iniFolder;
  app::Program program(platform, dialogs, iniFolder.filePath("kdsp.ini").toStdString(),
                       /*serviceMenu=*/true);
  app::TForm1& mainWindow = program.mainWindow();
  dialogs.setParent(&mainWindow);
  if (const QScreen* screen = mainWindow.screen())
    mainWindow.move(screen->availableGeometry().center() - mainWindow.rect().center());
  mainWindow.show();
  Tour tour(folder);

  // The processor greets the program and the program asks whether to read its settings.
  Settle(kStartSettleMs);
  auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  tour.save(question, "sync-question");
  if (question != nullptr) question->button(QMessageBox::Yes)->click();
  Settle(kStartSettleMs);
  tour.save(&mainWindow, "main-window");

  for (const settings::PageParameters& page : settings::kPages)
    tour.showAndSave(
        program.page(page.id),
        QString::fromUtf8(page.key.data(), static_cast<int>(page.key.size())) + "-page");
  tour.showAndSave(program.reverb(), "reverb-dialog");
  tour.showAndSave(program.recordingMix(), "recording-mix-dialog");
  tour.showAndSave(program.pinkNoise(), "pink-noise-dialog");

  program.menu().popup(mainWindow.mapToGlobal(QPoint(40, 40)));
  Settle(kWindowSettleMs);
  tour.save(QApplication::activePopupWidget(), "presets-menu");
  program.menu().close();

  tour.saveModal("system-control-panel", [&] { program.systemPanel().showFromMainWindow(); });
  tour.saveModal("message", [&] { dialogs.showMessage("No connecting device!"); });
  tour.saveModal("question", [&] { dialogs.askYesNo("Sync", "Sync with connecting device?"); });
  tour.saveModal("input-box", [&] { dialogs.askText("Processor", "Please Input Password", "0"); });
  tour.saveModal("open-file", [&] { dialogs.openFile(settings::filter::kOpenSetting); });

  std::printf("saved %d windows\n", tour.saved());
  return tour.failed() == 0 ? 0 : 1;
}
