// SPDX-License-Identifier: GPL-3.0-or-later
// The working settings as the phone sees them: a described block's fields as one JSON object, and
// the fields whose values differ between two descriptions of a block.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <string>
#include <vector>

#include "settings/block_fields.h"

namespace kdsp::remote {

// A field's JSON text as a value; null for text that is no JSON value.
QJsonValue JsonValueOf(const std::string& json);

// FIELD: VALUE for every field.
QJsonObject FieldsObject(const std::vector<settings::FieldValue>& fields);

// FIELD: its value in after, for every field whose value differs from before (or that before
// lacks).
QJsonObject FieldChanges(const std::vector<settings::FieldValue>& before,
                         const std::vector<settings::FieldValue>& after);

}  // namespace kdsp::remote
