// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the main window's controls, from its layout table.
#include "skin/main_control_names.h"

#include <cstddef>

#include "skin/control_names.h"
#include "skin/main_window_layout.h"

namespace kdsp::skin {
namespace {

using namespace main_layout;

std::string SectionName(MainSection section) {
  return TitleCase(FrameOf(section).title);
}

const MainFader& Fader(int fader) {
  return kFaders[static_cast<std::size_t>(fader)];
}

}  // namespace

std::string MainFaderName(int fader) {
  const MainFader& f = Fader(fader);
  const SectionFrame& frame = FrameOf(f.section);
  const std::string section =
      frame.faderName.empty() ? SectionName(f.section) : TitleCase(frame.faderName);
  return JoinWords({section, TitleCase(f.source), "fader"});
}

std::string MainMuteName(int fader) {
  const MainFader& f = Fader(fader);
  return JoinWords({SectionName(f.section), TitleCase(f.source), "mute"});
}

std::string MainOutputSwitchName(int row) {
  const OutputSwitch& s = kOutputSwitches[static_cast<std::size_t>(row)];
  return JoinWords({SectionName(s.section), TitleCase(s.caption), "switch"});
}

std::string MainKnobName(int knob) {
  const MainKnob& k = kKnobs[static_cast<std::size_t>(knob)];
  return JoinWords({SectionName(k.section), TitleCase(k.caption), "knob"});
}

std::string MainMaxVolumeName(int box) {
  const MaxVolumeBox& b = kMaxVolumeBoxes[static_cast<std::size_t>(box)];
  return JoinWords({TitleCase(kMaxVolumeCaption), TitleCase(b.name), "volume"});
}

}  // namespace kdsp::skin
