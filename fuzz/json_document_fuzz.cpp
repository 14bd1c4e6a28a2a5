// A JSON text from outside, parsed as an object and as an array, then read every way the
// program reads replies: members by name and by number, typed renderings, child copies,
// and serialisation, which must parse back to the same text.
#include <vector>

#include "fuzz/fuzz_support.h"
#include "server/json_array.h"
#include "server/json_object.h"

namespace {

using sscplan::JsonArray;
using sscplan::JsonDocument;
using sscplan::JsonKind;
using sscplan::JsonObject;
using sscplan::fuzz::require;

constexpr JsonKind kKinds[] = {JsonKind::Invalid, JsonKind::Null,   JsonKind::Bool,
                               JsonKind::String,  JsonKind::Int,    JsonKind::Double,
                               JsonKind::Int64,   JsonKind::Object, JsonKind::Array,
                               JsonKind::UInt,    JsonKind::UInt64};

void renderEveryKind(const sscplan::JsonValue* value) {
    for (JsonKind kind : kKinds) JsonDocument::renderValue(value, kind);
}

template <typename Document>
void checkRoundTrip(const Document& parsed) {
    const std::string text = parsed.toText();
    Document again;
    require(again.parse(text), "a serialised document parses");
    require(again.toText() == text, "serialising is stable");
    require(again.size() == parsed.size(), "a reparsed document keeps its size");
}

void readObject(std::string_view text) {
    JsonObject object;
    if (!object.parse(text)) {
        require(object.isEmpty(), "a refused text leaves the document empty");
        return;
    }
    checkRoundTrip(object);
    renderEveryKind(object.handle());
    std::vector<std::string> keys, texts;
    std::vector<JsonKind> kinds;
    const int count = object.members(keys, texts, kinds);
    require(count == object.size() || count == -1, "members counts every member");
    for (int i = 0; i <= object.size() + 1; ++i) {
        JsonKind kind = JsonKind::Invalid;
        std::string key;
        object.memberAt(i, kind, key);
        JsonObject childObject;
        JsonArray childArray;
        object.childAt(i, childObject, key);
        object.childAt(i, childArray, key);
        if (i >= 1 && i <= count) {
            JsonKind byName = JsonKind::Invalid;
            object.get(keys[i - 1], byName);
            object.getChild(keys[i - 1], childObject);
            object.getChild(keys[i - 1], childArray);
        }
    }
    // The reply readers' own members, and copies of the document into itself.
    for (const char* key : {"errcode", "msg", "data", "token"}) object.get(key);
    object.setChild("self", object);
    object.set("errcode", text, JsonKind::Int);
    object.set("msg", text, JsonKind::Double);
    object.toText();
}

void readArray(std::string_view text) {
    JsonArray array;
    if (!array.parse(text)) return;
    checkRoundTrip(array);
    std::vector<std::string> texts;
    std::vector<JsonKind> kinds;
    const int count = array.elements(texts, kinds);
    require(count == array.size() || count == -1, "elements counts every element");
    for (int i = 0; i <= array.size() + 1; ++i) {
        JsonKind kind = JsonKind::Invalid;
        array.at(i, kind);
        JsonObject childObject;
        JsonArray childArray;
        array.childAt(i, childObject);
        array.childAt(i, childArray);
    }
    array.addArray(array);
    for (JsonKind kind : kKinds) array.add(text, kind);
    array.toText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = sscplan::fuzz::inputText(data, size);
    readObject(text);
    readArray(text);
    return 0;
}
