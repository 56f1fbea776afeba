// The response chart's context menu commands.
#include "app/chart_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <span>
#include <utility>

#include "app/edit_recorder.h"
#include "display/response_csv.h"
#include "settings/safe_file_write.h"

namespace kdsp::app {

ChartCommands::ChartCommands(pages::EffectPage& page, settings::ParameterBlock& working,
                             device::DeviceLink& link, settings::UserDialogs& dialogs,
                             EditRecorder& edits, std::function<void()> refreshAll)
    : page_(page),
      working_(working),
      link_(link),
      dialogs_(dialogs),
      edits_(edits),
      refreshAll_(std::move(refreshAll)) {}

pages::ChartMenuActions ChartCommands::actions() {
  pages::ChartMenuActions a;
  a.exportResponse = [this] { exportResponse(); };
  a.exportPicture = [this] { exportPicture(); };
  return a;
}

void ChartCommands::exportResponse() {
  const auto path = dialogs_.saveFile(settings::filter::kSaveResponse,
                                      settings::filter::kResponseSuffix);
  if (!path) return;
  const std::string csv = display::PageResponseCsv(
      working_, settings::Page(page_.layout().id), page_.showsSecondMicSet());
  if (const settings::WriteResult written = settings::WriteFileSafely(*path, csv); !written)
    dialogs_.showMessage(written.message);
}

void ChartCommands::exportPicture() {
  const auto path = dialogs_.saveFile(settings::filter::kSavePicture,
                                      settings::filter::kPictureSuffix);
  if (!path) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!page_.chartPicture().save(&buffer, "PNG")) {
    dialogs_.showMessage("The chart could not be made into a picture.");
    return;
  }
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                               static_cast<std::size_t>(png.size()));
  if (const settings::WriteResult written = settings::WriteFileSafely(*path, bytes); !written)
    dialogs_.showMessage(written.message);
}

}  // namespace kdsp::app
