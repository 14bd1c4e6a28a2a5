#include "server/json_object.h"

namespace sscplan {
namespace {

bool isStructured(const JsonValue* value) { return value != nullptr && value->is_structured(); }

}  // namespace

bool JsonObject::set(const std::string& key, std::string_view text, JsonKind kind) {
    JsonValue* object = mutableValue();
    if (object == nullptr || !object->is_object()) return false;
    std::optional<JsonValue> value = valueFromText(text, kind);
    if (!value) return false;
    (*object)[key] = std::move(*value);
    return true;
}

bool JsonObject::setValue(const std::string& key, const JsonValue* value) {
    JsonValue* object = mutableValue();
    if (object == nullptr || !object->is_object() || !isStructured(value)) return false;
    // Copy first: `value` may lie inside this object.
    JsonValue copy = *value;
    (*object)[key] = std::move(copy);
    return true;
}

bool JsonObject::setChild(const std::string& key, const JsonDocument& child) {
    return setValue(key, child.handle());
}

const JsonValue* JsonObject::member(const std::string& key) const {
    const JsonValue* object = handle();
    if (object == nullptr || !object->is_object()) return nullptr;
    const auto found = object->find(key);
    return found == object->end() ? nullptr : &*found;
}

const JsonValue* JsonObject::memberValueAt(int index, std::string& key) const {
    const JsonValue* object = handle();
    if (object == nullptr || !object->is_object() || index < 1 || index > size()) {
        return nullptr;
    }
    // The ordered map is a vector of pairs underneath: position is direct.
    const auto& members = object->get_ref<const JsonValue::object_t&>();
    const auto& entry = *(members.begin() + (index - 1));
    key = entry.first;
    return &entry.second;
}

std::string JsonObject::get(const std::string& key) const {
    JsonKind kind = JsonKind::Invalid;
    return get(key, kind);
}

std::string JsonObject::get(const std::string& key, JsonKind& kind) const {
    const JsonValue* value = member(key);
    kind = kindOf(value);
    return renderValue(value, kind);
}

std::string JsonObject::memberAt(int index, JsonKind& kind, std::string& key) const {
    key.clear();
    const JsonValue* value = memberValueAt(index, key);
    kind = kindOf(value);
    return renderValue(value, kind);
}

bool JsonObject::getChild(const std::string& key, JsonDocument& target) const {
    return copyInto(member(key), target);
}

bool JsonObject::childAt(int index, JsonDocument& target, std::string& key) const {
    std::string found;
    const JsonValue* value = memberValueAt(index, found);
    if (!copyInto(value, target)) return false;
    key = std::move(found);
    return true;
}

int JsonObject::members(std::vector<std::string>& keys, std::vector<std::string>& texts,
                        std::vector<JsonKind>& kinds) const {
    if (valueKind() != JsonKind::Object) return -1;
    const int n = size();
    keys.assign(n, std::string());
    texts.assign(n, std::string());
    kinds.assign(n, JsonKind::Invalid);
    for (int i = 0; i < n; ++i) texts[i] = memberAt(i + 1, kinds[i], keys[i]);
    return n;
}

}  // namespace sscplan
