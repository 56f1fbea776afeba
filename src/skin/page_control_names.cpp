// SPDX-License-Identifier: GPL-3.0-or-later
// Names of an effect page's controls, from the page's layout table and the page catalogue.
#include "skin/page_control_names.h"

#include <cstddef>

#include "settings/page_catalogue.h"
#include "skin/control_names.h"

namespace kdsp::skin {
namespace {

using namespace page_layout;

// The page's fader that sets a filter's frequency, if it has one.
const PageFader* FilterFader(const PageLayout& page, FaderRole filter) {
  for (const PageFader& f : page.faders)
    if (f.role == filter) return &f;
  return nullptr;
}

}  // namespace

std::string PageTitle(const PageLayout& page) {
  return TitleCase(settings::Page(page.id).title);
}

std::string PageBandName(const PageLayout& page, int strip) {
  return JoinWords({PageTitle(page), "band", std::to_string(strip + 1)});
}

std::string PageFaderName(const PageLayout& page, int fader) {
  // Fader captions are printed in the case they are read in, abbreviations ("HPF") included.
  return JoinWords(
      {PageTitle(page), page.faders[static_cast<std::size_t>(fader)].caption, "fader"});
}

std::string PageKnobName(const PageLayout& page, int knob) {
  const PageKnob& k = page.knobs[static_cast<std::size_t>(knob)];
  const std::string caption = TitleCase(kKnobCaptions[static_cast<std::size_t>(k.role)]);
  if (k.role == KnobRole::kMicEqMode) return JoinWords({PageTitle(page), caption, "knob"});
  // A filter's knobs sit in the filter's frame; a filter without a frame is known by its fader.
  const PageFader* filter = FilterFader(page, k.filter);
  const std::string frame = filter == nullptr       ? std::string()
                            : filter->group.empty() ? std::string(filter->caption)
                                                    : TitleCase(filter->group);
  return JoinWords({PageTitle(page), frame, caption, "knob"});
}

std::string PagePolarityName(const PageLayout& page, int row) {
  return JoinWords(
      {PageTitle(page), page.polarity[static_cast<std::size_t>(row)].caption, "switch"});
}

std::string PageEqPassName(const PageLayout& page) {
  return JoinWords({PageTitle(page), kEqPassCaption, "button"});
}

std::string PageFilterName(const PageLayout& page, FaderRole filter) {
  const PageFader* fader = FilterFader(page, filter);
  return fader == nullptr ? std::string() : JoinWords({PageTitle(page), fader->caption});
}

}  // namespace kdsp::skin
