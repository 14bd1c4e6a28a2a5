#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "server/json_document.h"

namespace sscplan {

// A document holding a JSON object. Members are numbered from 1 in insertion (or parse)
// order. Every member operation fails cleanly when the held value is not an object.
class JsonObject : public JsonDocument {
  public:
    JsonObject() : JsonDocument(JsonKind::Object) {}

    // Sets member `key` from `text` converted by `kind`: Null ignores the text; Bool is
    // true for any non-empty text; String stores the text as it is; Int and UInt read it
    // as a 32-bit integer (UInt keeps the bit pattern); Int64 as a 64-bit integer; UInt64
    // as a 32-bit integer widened with its sign; Double as a single-precision number.
    // False for any other kind or when no object is held.
    bool set(const std::string& key, std::string_view text, JsonKind kind = JsonKind::String);
    // Sets member `key` to a copy of an object or array value; false for other values.
    bool setValue(const std::string& key, const JsonValue* value);
    // Sets member `key` to a copy of `child`'s value (`child` keeps its own; it may be this
    // document).
    bool setChild(const std::string& key, const JsonDocument& child);

    // The member rendered by its kind (renderValue); a missing member gives the empty
    // text and Invalid.
    std::string get(const std::string& key) const;
    std::string get(const std::string& key, JsonKind& kind) const;
    // Member number `index` (from 1): its rendered text, kind and key; out of range gives
    // the empty text, Invalid and an empty key.
    std::string memberAt(int index, JsonKind& kind, std::string& key) const;

    // Copies the member into `target` when it is an object and target's declared kind is
    // Object, or an array and target's is Array; otherwise false and target unchanged.
    bool getChild(const std::string& key, JsonDocument& target) const;
    bool childAt(int index, JsonDocument& target, std::string& key) const;

    // Replaces the three lists by all members (as memberAt) and returns their count; -1
    // with the lists untouched when no object is held.
    int members(std::vector<std::string>& keys, std::vector<std::string>& texts,
                std::vector<JsonKind>& kinds) const;

  private:
    const JsonValue* member(const std::string& key) const;
    const JsonValue* memberValueAt(int index, std::string& key) const;
};

}  // namespace sscplan
