#include "server/json_document.h"

#include <cstdint>
#include <limits>

#include "common/text.h"

namespace sscplan {
namespace {

JsonKind integerKind(const JsonValue& value) {
    constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
    constexpr std::uint64_t kUInt32Max = std::numeric_limits<std::uint32_t>::max();
    constexpr auto kInt64Max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u <= static_cast<std::uint64_t>(kInt32Max)) return JsonKind::Int;
        if (u <= kUInt32Max) return JsonKind::UInt;
        return u <= kInt64Max ? JsonKind::Int64 : JsonKind::UInt64;
    }
    const auto s = value.get<std::int64_t>();
    if (s >= kInt32Min && s <= kInt32Max) return JsonKind::Int;
    if (s > kInt32Max && static_cast<std::uint64_t>(s) <= kUInt32Max) return JsonKind::UInt;
    return JsonKind::Int64;
}

bool isIntegerKind(JsonKind kind) {
    return kind == JsonKind::Int || kind == JsonKind::Int64 || kind == JsonKind::UInt ||
           kind == JsonKind::UInt64;
}

std::string serialise(const JsonValue& value) {
    return value.dump(-1, ' ', false, JsonValue::error_handler_t::replace);
}

}  // namespace

bool JsonDocument::create() {
    switch (declaredKind_) {
        case JsonKind::Object:
            value_ = std::make_unique<JsonValue>(JsonValue::object());
            break;
        case JsonKind::Array:
            value_ = std::make_unique<JsonValue>(JsonValue::array());
            break;
        default:
            value_ = std::make_unique<JsonValue>();
            break;
    }
    return true;
}

bool JsonDocument::parse(std::string_view text) {
    value_.reset();
    bool tooDeep = false;
    const JsonValue::parser_callback_t refuseDeepNesting =
        [&tooDeep](int depth, JsonValue::parse_event_t event, JsonValue&) {
            const bool opens = event == JsonValue::parse_event_t::object_start ||
                               event == JsonValue::parse_event_t::array_start;
            if (opens && depth >= kMaxDepth) {
                // Dropping the subtree here keeps the deep part from ever being built.
                tooDeep = true;
                return false;
            }
            return true;
        };
    try {
        auto parsed = std::make_unique<JsonValue>(
            JsonValue::parse(text.begin(), text.end(), refuseDeepNesting, false));
        if (tooDeep || !isValid(parsed.get())) return false;
        value_ = std::move(parsed);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool JsonDocument::attach(std::unique_ptr<JsonValue> value) {
    if (!isValid(value.get())) return false;
    value_ = std::move(value);
    return true;
}

JsonKind JsonDocument::kindOf(const JsonValue* value) {
    if (value == nullptr) return JsonKind::Invalid;
    switch (value->type()) {
        case JsonValue::value_t::null:
            return JsonKind::Null;
        case JsonValue::value_t::boolean:
            return JsonKind::Bool;
        case JsonValue::value_t::string:
            return JsonKind::String;
        case JsonValue::value_t::number_integer:
        case JsonValue::value_t::number_unsigned:
            return integerKind(*value);
        case JsonValue::value_t::number_float:
            return JsonKind::Double;
        case JsonValue::value_t::object:
            return JsonKind::Object;
        case JsonValue::value_t::array:
            return JsonKind::Array;
        default:
            return JsonKind::Invalid;
    }
}

std::string JsonDocument::renderValue(const JsonValue* value, JsonKind kind) {
    if (value == nullptr) return {};
    if (kind == JsonKind::Bool) return value->is_boolean() && value->get<bool>() ? "true" : "";
    if (kind == JsonKind::String) return value->is_string() ? value->get<std::string>() : "";
    if (isIntegerKind(kind)) {
        if (value->is_number_unsigned()) return std::to_string(value->get<std::uint64_t>());
        if (value->is_number_integer()) return std::to_string(value->get<std::int64_t>());
        return {};
    }
    if (kind == JsonKind::Double) {
        return value->is_number_float() ? realToText(value->get<double>()) : "";
    }
    if (kind == JsonKind::Object || kind == JsonKind::Array) {
        return value->is_structured() ? serialise(*value) : "";
    }
    return {};
}

std::string JsonDocument::toText() const {
    return isValid(value_.get()) ? serialise(*value_) : std::string();
}

int JsonDocument::size() const {
    if (!value_ || !value_->is_structured()) return 0;
    return static_cast<int>(value_->size());
}

std::optional<JsonValue> JsonDocument::valueFromText(std::string_view text, JsonKind kind) {
    switch (kind) {
        case JsonKind::Null:
            return JsonValue(nullptr);
        case JsonKind::Bool:
            return JsonValue(!text.empty());
        case JsonKind::String:
            return JsonValue(std::string(text));
        case JsonKind::Int:
            return JsonValue(textToInt(text));
        case JsonKind::UInt:
            return JsonValue(static_cast<std::uint32_t>(textToInt(text)));
        case JsonKind::Int64:
            return JsonValue(textToInt64(text));
        case JsonKind::UInt64:
            return JsonValue(static_cast<std::uint64_t>(std::int64_t{textToInt(text)}));
        case JsonKind::Double:
            return JsonValue(static_cast<double>(textToFloat(text)));
        default:
            return std::nullopt;
    }
}

bool JsonDocument::copyInto(const JsonValue* source, JsonDocument& target) {
    const JsonKind kind = kindOf(source);
    const bool fits = (kind == JsonKind::Object && target.kind() == JsonKind::Object) ||
                      (kind == JsonKind::Array && target.kind() == JsonKind::Array);
    if (!fits) return false;
    // The copy is complete before the target lets go of its value, so a source inside the
    // target's own value is safe.
    return target.attach(std::make_unique<JsonValue>(*source));
}

}  // namespace sscplan
