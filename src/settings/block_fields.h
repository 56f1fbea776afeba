// SPDX-License-Identifier: GPL-3.0-or-later
// Every field of a parameter block by name, in user units: what `kdspctl dump` prints, `diff`
// compares and `get` reads, and what the remote shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/parameter_block.h"

namespace kdsp::settings {

struct FieldEntry;

struct FieldValue {
  std::string name;  // e.g. "bands[28].gain"
  std::string text;  // e.g. "+3.0 dB"
  std::string json;  // the same value as a JSON value
};

std::vector<FieldValue> DescribeBlock(const ParameterBlock& block);
FieldValue DescribeField(const FieldEntry& field, const ParameterBlock& block);

// The fields as one JSON object, in block order.
std::string FieldsToJson(const std::vector<FieldValue>& fields);

// A JSON string of the text.
std::string JsonQuote(std::string_view text);

}  // namespace kdsp::settings
