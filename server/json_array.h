#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/json_document.h"

namespace sscplan {

// A document holding a JSON array. Elements are numbered from 1. Every element operation
// fails cleanly when the held value is not an array.
class JsonArray : public JsonDocument {
  public:
    JsonArray() : JsonDocument(JsonKind::Array) {}

    // Appends `text` converted by `kind`, as JsonObject::set converts it.
    bool add(std::string_view text, JsonKind kind = JsonKind::String);
    // Appends a copy of an object or array value; false for other values.
    bool addValue(const JsonValue* value);
    // Append a copy of `other`'s value (`other` keeps its own; it may be this document).
    bool addObject(const JsonDocument& other);
    bool addArray(const JsonDocument& other);

    // Element number `index` (from 1) rendered by its kind; out of range gives the empty
    // text and Invalid.
    std::string at(int index) const;
    std::string at(int index, JsonKind& kind) const;
    // Copies the element into `target` under the rule of JsonObject::getChild.
    bool childAt(int index, JsonDocument& target) const;

    // Replaces both lists by all elements (as `at`) and returns their count; -1 with the
    // lists untouched when no array is held.
    int elements(std::vector<std::string>& texts, std::vector<JsonKind>& kinds) const;

  private:
    const JsonValue* element(int index) const;
};

}  // namespace sscplan
