// SPDX-License-Identifier: GPL-3.0-or-later
// The response chart's context menu commands.
#include "app/chart_commands.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "app/edit_recorder.h"
#include "core/composed_text.h"
#include "core/translatable.h"
#include "display/filter_fit.h"
#include "display/response_csv.h"
#include "settings/safe_file_write.h"
#include "settings/step_names.h"

namespace kdsp::app {
namespace {

std::vector<std::uint8_t> BytesOf(std::string_view text) {
  return {text.begin(), text.end()};
}

}  // namespace

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
  a.importFilters = [this] { importFilters(); };
  a.exportFilters = [this] { exportFilters(); };
  a.exportResponse = [this] { exportResponse(); };
  a.exportPicture = [this] { exportPicture(); };
  return a;
}

const settings::PageParameters& ChartCommands::page() const {
  return settings::Page(page_.layout().id);
}

void ChartCommands::importFilters() {
  const auto path = dialogs_.openFile(settings::filter::kOpenFilterText);
  if (!path) return;
  const display::FilterFileFit imported =
      display::FitFilterFile(*path, working_, page(), page_.showsSecondMicSet());
  if (!imported.ok()) {
    dialogs_.showMessage(
        imported.error + "\n" +
        QCoreApplication::translate("Messages", "Nothing was changed.").toStdString());
    return;
  }
  // One step of the history, sent to the processor as an undo would send it: a record for
  // every band and filter that changed.
  edits_.beginCommand();
  const settings::EditState before = edits_.current();
  working_ = imported.fit.block;
  if (refreshAll_) refreshAll_();
  link_.sendDifference(before, edits_.current());
  edits_.endCommand(core::FillIn(settings::step::kImportFilters,
                                 {std::filesystem::path(*path).filename().string()}),
                    std::nullopt);
  std::string report;
  for (const std::string& line : display::FitReport(imported.fit)) report += line + "\n";
  dialogs_.showMessage(report);
}

void ChartCommands::exportTo(
    std::string_view filter, std::string_view suffix,
    const std::function<std::optional<std::vector<std::uint8_t>>()>& contents) {
  const auto path = dialogs_.saveFile(filter, suffix);
  if (!path) return;
  const auto bytes = contents();
  if (!bytes) return;
  if (const settings::WriteResult written = settings::WriteFileSafely(*path, std::span(*bytes));
      !written)
    dialogs_.showMessage(written.message);
}

void ChartCommands::exportFilters() {
  exportTo(settings::filter::kSaveFilterText, settings::filter::kFilterTextSuffix, [this] {
    return BytesOf(display::ExportFilterText(working_, page(), page_.showsSecondMicSet()));
  });
}

void ChartCommands::exportResponse() {
  exportTo(settings::filter::kSaveResponse, settings::filter::kResponseSuffix, [this] {
    return BytesOf(display::PageResponseCsv(working_, page(), page_.showsSecondMicSet()));
  });
}

void ChartCommands::exportPicture() {
  exportTo(
      settings::filter::kSavePicture, settings::filter::kPictureSuffix,
      [this]() -> std::optional<std::vector<std::uint8_t>> {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!page_.chartPicture().save(&buffer, "PNG")) {
          dialogs_.showMessage(
              KDSP_TRANSLATE_NOOP("Messages", "The chart could not be made into a picture."));
          return std::nullopt;
        }
        return BytesOf(std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
      });
}

}  // namespace kdsp::app
