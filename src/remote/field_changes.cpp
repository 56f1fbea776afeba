// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing described blocks field by field.
#include "remote/field_changes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <unordered_map>

namespace kdsp::remote {

QJsonValue JsonValueOf(const std::string& json) {
  // A document is an object or an array: the value is read as the one element of an array.
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray("[") + QByteArray::fromStdString(json) + ']');
  const QJsonArray array = document.array();
  return array.size() == 1 ? array.first() : QJsonValue();
}

QJsonObject FieldsObject(const std::vector<settings::FieldValue>& fields) {
  QJsonObject object;
  for (const settings::FieldValue& field : fields)
    object.insert(QString::fromStdString(field.name), JsonValueOf(field.json));
  return object;
}

QJsonObject FieldChanges(const std::vector<settings::FieldValue>& before,
                         const std::vector<settings::FieldValue>& after) {
  QJsonObject changes;
  const auto add = [&](const settings::FieldValue& field) {
    changes.insert(QString::fromStdString(field.name), JsonValueOf(field.json));
  };
  // Two descriptions of blocks list the same fields in the same order; anything else is
  // compared by name.
  const bool sameFields = before.size() == after.size() &&
                          std::equal(before.begin(), before.end(), after.begin(),
                                     [](const auto& a, const auto& b) { return a.name == b.name; });
  if (sameFields) {
    for (std::size_t i = 0; i < after.size(); ++i)
      if (before[i].json != after[i].json) add(after[i]);
    return changes;
  }
  std::unordered_map<std::string, const std::string*> was;
  for (const settings::FieldValue& field : before) was.emplace(field.name, &field.json);
  for (const settings::FieldValue& field : after) {
    const auto it = was.find(field.name);
    if (it == was.end() || *it->second != field.json) add(field);
  }
  return changes;
}

}  // namespace kdsp::remote
