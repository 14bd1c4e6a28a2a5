#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sscplan {

// The JSON value a document holds; member order is insertion order.
using JsonValue = nlohmann::ordered_json;

// Kind code of a JSON value. Integers are classed by their value, whatever the parser or
// the setter stored them as: [-2^31, 2^31) Int, [2^31, 2^32) UInt, the rest of the signed
// 64-bit range Int64, above it UInt64.
enum class JsonKind : int {
    Invalid = -1,  // no value, value not present, or not a valid value
    Null = 0,
    Bool = 1,
    String = 2,
    Int = 3,
    Double = 4,
    Int64 = 5,
    Object = 6,
    Array = 7,
    UInt = 8,
    UInt64 = 9,
};

// A document owns at most one JSON value, exclusively: values enter only by parsing, by
// `create`, or by moving a std::unique_ptr in (`attach`), and leave only by being freed or
// moved out (`forget`). No other object ever points into a document's value, so no
// operation can leave a dangling reference or free a value twice.
//
// No operation throws; failures are false, the empty text, -1 or JsonKind::Invalid.
class JsonDocument {
  public:
    // Parsed texts nested deeper than this (objects and arrays) are refused, so hostile
    // input cannot exhaust the stack when the value is later copied or serialised.
    static constexpr int kMaxDepth = 512;

    virtual ~JsonDocument() = default;
    JsonDocument(const JsonDocument&) = delete;
    JsonDocument& operator=(const JsonDocument&) = delete;
    JsonDocument(JsonDocument&&) = default;
    JsonDocument& operator=(JsonDocument&&) = default;

    // The kind a copied child must have to be accepted by this document (getChild).
    void setKind(JsonKind kind) { declaredKind_ = kind; }
    JsonKind kind() const { return declaredKind_; }

    // Replaces the held value by an empty object (declared kind Object) or an empty array
    // (declared kind Array); any other declared kind gives null.
    bool create();
    // Replaces the held value by the parsed text. On text that is not JSON, not valid
    // UTF-8 or nested deeper than kMaxDepth the document is left empty and false returned.
    bool parse(std::string_view text);
    // Takes over `value`. A null or invalid value is dropped and the document left as it
    // was (false).
    bool attach(std::unique_ptr<JsonValue> value);
    // The held value, nullptr when empty. Valid until the document's value next changes.
    const JsonValue* handle() const { return value_.get(); }

    // Text of a value by kind: Invalid and Null empty; Bool "true" or empty; String the
    // string; integers in decimal; Double as "%.13g"; Object and Array serialised. A kind
    // that does not fit the value gives the empty text.
    static std::string renderValue(const JsonValue* value, JsonKind kind);
    // Compact serialisation of the held value; the empty text when empty. Strings that are
    // not valid UTF-8 are written with U+FFFD in place of the bad bytes.
    std::string toText() const;
    // Members of an object or elements of an array; 0 for any other value or none.
    int size() const;
    static bool isValid(const JsonValue* value) { return kindOf(value) != JsonKind::Invalid; }
    static JsonKind kindOf(const JsonValue* value);

    // Kept for callers that mark a document as sharing its value. Ownership is exclusive
    // here, so the flag never stops the value from being freed with the document.
    void setShared(bool shared) { shared_ = shared; }
    bool shared() const { return shared_; }

    JsonKind valueKind() const { return kindOf(value_.get()); }
    // Frees the held value; the document is empty afterwards.
    void close() { value_.reset(); }
    // Gives the held value away without freeing it; the document is empty afterwards.
    std::unique_ptr<JsonValue> forget() { return std::move(value_); }
    // Frees the held value. The document keeps no reference to the freed value: it is
    // empty afterwards, as after `close`.
    void releaseValue() { value_.reset(); }
    bool isEmpty() const { return !isValid(value_.get()); }

  protected:
    explicit JsonDocument(JsonKind declaredKind) : declaredKind_(declaredKind) {}

    // A value made from a text by kind, as `set` and `add` store it; nullopt for a kind
    // that stores nothing (Invalid, Object, Array, codes outside the table).
    static std::optional<JsonValue> valueFromText(std::string_view text, JsonKind kind);
    // `source` copied into `target` when its kind fits target's declared kind.
    static bool copyInto(const JsonValue* source, JsonDocument& target);

    JsonValue* mutableValue() { return value_.get(); }

  private:
    bool shared_ = false;
    std::unique_ptr<JsonValue> value_;
    JsonKind declaredKind_;
};

}  // namespace sscplan
