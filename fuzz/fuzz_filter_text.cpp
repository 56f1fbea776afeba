// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes filter lists from reading to the page: any text either reads and fits onto a page or is
// refused with a message. What fits has a finite deviation, and the page exported as a filter
// list imports again to the very same block and exports to the very same text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "display/filter_fit.h"
#include "settings/filter_text.h"
#include "settings/page_catalogue.h"
#include "settings/parameter_block.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

// The first byte chooses the page (and the Mic Equalizer's set); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kdsp;
  if (size == 0) return 0;
  const settings::PageParameters& page = settings::kPages[data[0] % settings::kPages.size()];
  const bool secondSet = (data[0] / settings::kPages.size()) % 2 == 1 &&
                         page.secondSetFirstBand != settings::kNoRecord;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  // As an import reads a file: one without a filter line is refused before it is fitted.
  const settings::FilterTextRead read = settings::ReadFilterText(text);
  if (!read.ok() || read.filters.filterLines == 0) return 0;
  const settings::ParameterBlock block = settings::FactoryDefaults();
  const display::FilterFit fit = display::FitFilters(block, page, secondSet, read.filters);
  if (!fit.ok()) {
    Check(fit.filters.empty() && fit.notes.empty());
    return 0;
  }
  Check(std::isfinite(fit.largestDeviationDb));
  Check(!display::FitReport(fit).empty());

  const std::string exported = display::ExportFilterText(fit.block, page, secondSet);
  const settings::FilterTextRead again = settings::ReadFilterText(exported);
  Check(again.ok() && again.filters.unread.empty());
  const display::FilterFit refit = display::FitFilters(fit.block, page, secondSet, again.filters);
  Check(refit.ok());
  Check(refit.block == fit.block);
  Check(display::ExportFilterText(refit.block, page, secondSet) == exported);
  return 0;
}
