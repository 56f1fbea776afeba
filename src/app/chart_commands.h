// SPDX-License-Identifier: GPL-3.0-or-later
// What the response chart's context menu does on one page: the page's filters imported from and
// exported to the text that measurement programs and equaliser software use, the page's
// response as CSV and the chart as a PNG picture.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "device/device_link.h"
#include "pages/effect_page.h"
#include "settings/parameter_block.h"
#include "settings/user_dialogs.h"

namespace kdsp::app {

class EditRecorder;

class ChartCommands {
 public:
  ChartCommands(pages::EffectPage& page, settings::ParameterBlock& working,
                device::DeviceLink& link, settings::UserDialogs& dialogs, EditRecorder& edits,
                std::function<void()> refreshAll);

  // The menu's items, bound to this object.
  pages::ChartMenuActions actions();

  // Reads a filter file chosen by the user and fits it onto the page (the mode's set on the Mic
  // Equalizer): one undoable step, sent to the processor, then the fit's report; a file that
  // does not fit is refused with the line at fault and nothing changes.
  void importFilters();
  void exportFilters();
  void exportResponse();
  void exportPicture();

 private:
  const settings::PageParameters& page() const;
  // Asks where to save, makes the file's bytes (nothing: the reason has been shown) and writes
  // them safely, saying so when the write fails.
  void exportTo(std::string_view filter, std::string_view suffix,
                const std::function<std::optional<std::vector<std::uint8_t>>()>& contents);

  pages::EffectPage& page_;
  settings::ParameterBlock& working_;
  device::DeviceLink& link_;
  settings::UserDialogs& dialogs_;
  EditRecorder& edits_;
  std::function<void()> refreshAll_;
};

}  // namespace kdsp::app
