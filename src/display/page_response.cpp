// Summing a page's response.
#include "display/page_response.h"

#include <charconv>

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

std::string ResponseCsv(const ChartResponse& response) {
  std::string text = "frequency_hz,response_db\n";
  const auto& hz = chartFrequencies();
  // to_chars writes a point whatever locale the program runs in.
  const auto append = [&text](double value, int decimals) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value,
                                   std::chars_format::fixed, decimals).ptr;
    text.append(digits, end);
  };
  for (int i = 0; i < kChartPoints; ++i) {
    append(hz[i], 2);
    text += ',';
    append(response.db[i], 3);
    text += '\n';
  }
  return text;
}

}  // namespace kdsp::display
