#include "server/json_array.h"

namespace sscplan {

bool JsonArray::add(std::string_view text, JsonKind kind) {
    JsonValue* array = mutableValue();
    if (array == nullptr || !array->is_array()) return false;
    std::optional<JsonValue> value = valueFromText(text, kind);
    if (!value) return false;
    array->push_back(std::move(*value));
    return true;
}

bool JsonArray::addValue(const JsonValue* value) {
    JsonValue* array = mutableValue();
    if (array == nullptr || !array->is_array() || value == nullptr || !value->is_structured()) {
        return false;
    }
    // Copy first: `value` may be this array or lie inside it.
    JsonValue copy = *value;
    array->push_back(std::move(copy));
    return true;
}

bool JsonArray::addObject(const JsonDocument& other) { return addValue(other.handle()); }

bool JsonArray::addArray(const JsonDocument& other) { return addValue(other.handle()); }

const JsonValue* JsonArray::element(int index) const {
    const JsonValue* array = handle();
    if (array == nullptr || !array->is_array() || index < 1 || index > size()) return nullptr;
    return &(*array)[static_cast<std::size_t>(index - 1)];
}

std::string JsonArray::at(int index) const {
    JsonKind kind = JsonKind::Invalid;
    return at(index, kind);
}

std::string JsonArray::at(int index, JsonKind& kind) const {
    const JsonValue* value = element(index);
    kind = kindOf(value);
    return renderValue(value, kind);
}

bool JsonArray::childAt(int index, JsonDocument& target) const {
    return copyInto(element(index), target);
}

int JsonArray::elements(std::vector<std::string>& texts, std::vector<JsonKind>& kinds) const {
    if (valueKind() != JsonKind::Array) return -1;
    const int n = size();
    texts.assign(n, std::string());
    kinds.assign(n, JsonKind::Invalid);
    for (int i = 0; i < n; ++i) texts[i] = at(i + 1, kinds[i]);
    return n;
}

}  // namespace sscplan
