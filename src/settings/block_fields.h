// Every field of a parameter block by name, in user units: what `kdspctl dump` prints and
// `kdspctl diff` compares. Plain C++, so the program's windows can show the same names.
#pragma once

#include <string>
#include <vector>

#include "settings/parameter_block.h"

namespace kdsp::settings {

struct FieldValue {
  std::string name;  // e.g. "bands[28].gain"
  std::string text;  // e.g. "+3.0 dB"
  std::string json;  // the same value as a JSON value
};

std::vector<FieldValue> DescribeBlock(const settings::ParameterBlock& block);

// The fields as one JSON object, in block order.
std::string FieldsToJson(const std::vector<FieldValue>& fields);

}  // namespace kdsp::settings
