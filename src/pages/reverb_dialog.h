// SPDX-License-Identifier: GPL-3.0-or-later
// The reverb dialog TForm14: six sliders for the reverb's room size, damping, wet level, width,
// gain and pre-delay, written into the working block for the synchronisation tick to send.
#pragma once

#include <QDialog>
#include <QtGlobal>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/change_flags.h"
#include "settings/block_field.h"
#include "settings/field_ranges.h"
#include "settings/parameter_block.h"
#include "skin/page_layouts.h"

class QLabel;
class QShowEvent;
class QSlider;

namespace kdsp::device {
class DeviceLink;
}

namespace kdsp::pages {

// One slider row: the parameter's name (the Reverb page's name for the three fields both windows
// edit), range top, block field and changed flag, with the names and rows the form gives its
// label and slider.
struct ReverbRow {
  std::string_view name;
  int max;
  settings::BlockField field;
  std::uint16_t flag;
  std::string_view labelName;
  int labelY;
  std::string_view sliderName;
  int sliderY;
};

inline constexpr std::array<ReverbRow, 6> kReverbRows = {{
    {skin::page_layout::kRevTimeName,
     settings::range::kRevTime.max,
     {settings::offsets::kRevTime, settings::FieldKind::kByte},
     device::flag::kDialogRevTime.first,
     "Label7",
     24,
     "TrackBar1",
     16},
    {QT_TRANSLATE_NOOP("Dialogs", "Damp"),
     settings::range::kRevShape.max,
     {settings::offsets::kRevDamp, settings::FieldKind::kByte},
     device::flag::kDialogRevDamp.first,
     "Label1",
     68,
     "TrackBar2",
     56},
    {QT_TRANSLATE_NOOP("Dialogs", "Wet"),
     settings::range::kRevShape.max,
     {settings::offsets::kRevWet, settings::FieldKind::kByte},
     device::flag::kDialogRevWet.first,
     "Label2",
     112,
     "TrackBar3",
     96},
    {QT_TRANSLATE_NOOP("Dialogs", "Width"),
     settings::range::kRevShape.max,
     {settings::offsets::kRevWidth, settings::FieldKind::kByte},
     device::flag::kDialogRevWidth.first,
     "Label3",
     156,
     "TrackBar4",
     144},
    {skin::page_layout::kRevLevelName,
     settings::range::kRevLevel.max,
     {settings::offsets::kRevLevel, settings::FieldKind::kByte},
     device::flag::kDialogRevLevel.first,
     "Label4",
     200,
     "TrackBar5",
     192},
    {skin::page_layout::kRevPreDelayName,
     settings::range::kRevPreDelay.max,
     {settings::offsets::kRevPreDelay, settings::FieldKind::kUint16},
     device::flag::kDialogRevPreDelay.first,
     "Label5",
     256,
     "TrackBar6",
     248},
}};

class TForm14 : public QDialog {
  Q_OBJECT

 public:
  TForm14(settings::ParameterBlock& working, device::DeviceLink& link, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Positions from the block; the flags the positions raised are cleared again, so opening the
  // dialog sends nothing.
  void FormShow();
  // TrackBar1Change .. TrackBar6Change.
  void TrackBarChange(int row);

  settings::ParameterBlock& working_;
  device::DeviceLink& link_;
  std::array<QLabel*, kReverbRows.size()> labels_{};
  std::array<QSlider*, kReverbRows.size()> sliders_{};
};

}  // namespace kdsp::pages
