// Summing a page's response.
#include "display/page_response.h"

namespace kdsp::display {

ChartResponse PageResponse(const settings::ParameterBlock& block,
                           const settings::PageParameters& page, bool secondSet) {
  ChartResponse sum;
  for (int filter : {page.highPass, page.lowPass})
    if (filter != settings::kNoRecord) addCrossover(block.filters[filter], sum);
  const int first = secondSet && page.secondSetFirstBand != settings::kNoRecord
                        ? page.secondSetFirstBand
                        : page.firstBand;
  for (int i = 0; i < page.bandCount; ++i) {
    const settings::EqBand& band = block.bands[first + i];
    if (band.on == 1) addBand(band, sum);
  }
  return sum;
}

}  // namespace kdsp::display
