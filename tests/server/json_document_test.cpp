#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/json_array.h"
#include "server/json_object.h"
#include "server/json_reply.h"

namespace sscplan {
namespace {

std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(JsonDocument, CreateMakesTheDeclaredKind) {
    JsonObject object;
    JsonArray array;
    JsonReply reply;
    EXPECT_TRUE(object.isEmpty());
    EXPECT_EQ(object.valueKind(), JsonKind::Invalid);
    ASSERT_TRUE(object.create());
    ASSERT_TRUE(array.create());
    ASSERT_TRUE(reply.create());
    EXPECT_EQ(object.toText(), "{}");
    EXPECT_EQ(array.toText(), "[]");
    EXPECT_EQ(reply.toText(), "{}");
    EXPECT_EQ(array.kind(), JsonKind::Array);
    EXPECT_EQ(reply.kind(), JsonKind::Object);
}

TEST(JsonDocument, ParseRefusesWhatIsNotJsonAndDropsTheOldValue) {
    const std::vector<std::string> refused = {
        "",
        "not json",
        "{\"a\":",
        "{\"a\":1}}",
        std::string("\"\xff\xfe\""),
        nested(JsonDocument::kMaxDepth + 1),
        nested(100000),
        "{\"a\":" + nested(JsonDocument::kMaxDepth) + "}",
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE(text.substr(0, 40));
        JsonObject doc;
        ASSERT_TRUE(doc.parse(R"({"kept":"no"})"));
        EXPECT_FALSE(doc.parse(text));
        EXPECT_TRUE(doc.isEmpty());
        EXPECT_EQ(doc.handle(), nullptr);
        EXPECT_EQ(doc.toText(), "");
        EXPECT_EQ(doc.get("kept"), "");
    }
    JsonArray deepest;
    EXPECT_TRUE(deepest.parse(nested(JsonDocument::kMaxDepth)));
}

TEST(JsonDocument, KindsAndTextsOfParsedMembers) {
    JsonObject doc;
    ASSERT_TRUE(doc.parse(R"({"n":null,"b":true,"f":false,"s":"注","i":-5,"d":2.5,)"
                          R"("i64":-3000000000,"o":{"x":[1]},"a":[],"u":3000000000,)"
                          R"("u64":18446744073709551615,"big":9223372036854775807})"));
    std::vector<std::string> keys;
    std::vector<std::string> texts;
    std::vector<JsonKind> kinds;
    ASSERT_EQ(doc.members(keys, texts, kinds), 12);
    const std::vector<std::string> wantKeys = {"n",   "b", "f", "s", "i",   "d",
                                               "i64", "o", "a", "u", "u64", "big"};
    const std::vector<std::string> wantTexts = {"",
                                                "true",
                                                "",
                                                "注",
                                                "-5",
                                                "2.5",
                                                "-3000000000",
                                                R"({"x":[1]})",
                                                "[]",
                                                "3000000000",
                                                "18446744073709551615",
                                                "9223372036854775807"};
    const std::vector<JsonKind> wantKinds = {JsonKind::Null,   JsonKind::Bool,   JsonKind::Bool,
                                             JsonKind::String, JsonKind::Int,    JsonKind::Double,
                                             JsonKind::Int64,  JsonKind::Object, JsonKind::Array,
                                             JsonKind::UInt,   JsonKind::UInt64, JsonKind::Int64};
    EXPECT_EQ(keys, wantKeys);
    EXPECT_EQ(texts, wantTexts);
    EXPECT_EQ(kinds, wantKinds);
}

TEST(JsonDocument, SetConvertsTextsByKind) {
    struct Row {
        const char* text;
        JsonKind kind;
        const char* wantText;
        JsonKind wantKind;
    };
    const Row rows[] = {
        {"0123", JsonKind::String, "0123", JsonKind::String},
        {"", JsonKind::Bool, "", JsonKind::Bool},
        {"false", JsonKind::Bool, "true", JsonKind::Bool},
        {"ignored", JsonKind::Null, "", JsonKind::Null},
        {" -12abc", JsonKind::Int, "-12", JsonKind::Int},
        {"７", JsonKind::Int, "7", JsonKind::Int},
        {"99999999999", JsonKind::Int, "2147483647", JsonKind::Int},
        {"-1", JsonKind::UInt, "4294967295", JsonKind::UInt},
        {"-99999999999", JsonKind::Int64, "-99999999999", JsonKind::Int64},
        {"99999999999999999999", JsonKind::Int64, "9223372036854775807", JsonKind::Int64},
        {"-1", JsonKind::UInt64, "18446744073709551615", JsonKind::UInt64},
        {"1.5", JsonKind::Double, "1.5", JsonKind::Double},
        {"0.1", JsonKind::Double, "0.1000000014901", JsonKind::Double},
        {"x", JsonKind::Double, "0", JsonKind::Double},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " as " + std::to_string(int(row.kind)));
        JsonObject doc;
        ASSERT_TRUE(doc.create());
        ASSERT_TRUE(doc.set("k", row.text, row.kind));
        JsonKind kind = JsonKind::Invalid;
        EXPECT_EQ(doc.get("k", kind), row.wantText);
        EXPECT_EQ(kind, row.wantKind);
    }
    JsonObject doc;
    ASSERT_TRUE(doc.create());
    EXPECT_TRUE(doc.set("digits", "123"));
    EXPECT_EQ(doc.toText(), R"({"digits":"123"})");
    for (JsonKind refused : {JsonKind::Invalid, JsonKind::Object, JsonKind::Array,
                             static_cast<JsonKind>(10), static_cast<JsonKind>(-2)}) {
        EXPECT_FALSE(doc.set("other", "1", refused));
    }
    EXPECT_EQ(doc.size(), 1);
}

TEST(JsonDocument, RenderValueGivesEmptyTextForKindsThatDoNotFit) {
    const JsonValue number = 5;
    const JsonValue text = "5";
    const JsonValue yes = true;
    EXPECT_EQ(JsonDocument::renderValue(&number, JsonKind::Int), "5");
    EXPECT_EQ(JsonDocument::renderValue(&number, JsonKind::String), "");
    EXPECT_EQ(JsonDocument::renderValue(&text, JsonKind::Int), "");
    EXPECT_EQ(JsonDocument::renderValue(&yes, JsonKind::Object), "");
    EXPECT_EQ(JsonDocument::renderValue(&yes, JsonKind::Null), "");
    EXPECT_EQ(JsonDocument::renderValue(nullptr, JsonKind::String), "");
}

TEST(JsonDocument, MemberOrderAndReplacementKeepPositions) {
    JsonObject doc;
    ASSERT_TRUE(doc.create());
    doc.set("z", "1");
    doc.set("a", "2");
    doc.set("z", "3");
    EXPECT_EQ(doc.toText(), R"({"z":"3","a":"2"})");
}

TEST(JsonDocument, MemberAtCountsFromOneAndRefusesOutOfRange) {
    JsonObject doc;
    ASSERT_TRUE(doc.parse(R"({"first":"a","second":{"x":1}})"));
    struct Row {
        int index;
        const char* text;
        JsonKind kind;
        const char* key;
    };
    const Row rows[] = {{-1, "", JsonKind::Invalid, ""},
                        {0, "", JsonKind::Invalid, ""},
                        {1, "a", JsonKind::String, "first"},
                        {2, R"({"x":1})", JsonKind::Object, "second"},
                        {3, "", JsonKind::Invalid, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        JsonKind kind = JsonKind::Null;
        std::string key = "stale";
        EXPECT_EQ(doc.memberAt(row.index, kind, key), row.text);
        EXPECT_EQ(kind, row.kind);
        EXPECT_EQ(key, row.key);
    }
    JsonKind kind = JsonKind::Null;
    EXPECT_EQ(doc.get("missing", kind), "");
    EXPECT_EQ(kind, JsonKind::Invalid);
}

TEST(JsonDocument, ChildrenAreCopiedOnlyIntoDocumentsOfTheirKind) {
    JsonObject source;
    ASSERT_TRUE(source.parse(R"({"s":"text","o":{"x":"1"},"a":["e"]})"));
    struct Row {
        const char* key;
        bool intoArray;
        bool copied;
    };
    const Row rows[] = {{"s", false, false},      {"s", true, false}, {"o", true, false},
                        {"a", false, false},      {"o", false, true}, {"a", true, true},
                        {"missing", false, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key + std::string(row.intoArray ? " into array" : " into object"));
        JsonObject object;
        JsonArray array;
        ASSERT_TRUE(object.parse(R"({"old":"1"})"));
        ASSERT_TRUE(array.parse(R"(["old"])"));
        JsonDocument& target = row.intoArray ? static_cast<JsonDocument&>(array) : object;
        const std::string before = target.toText();
        EXPECT_EQ(source.getChild(row.key, target), row.copied);
        if (row.copied) {
            EXPECT_EQ(target.toText(), source.get(row.key));
        } else {
            EXPECT_EQ(target.toText(), before);
        }
    }
    JsonObject target;
    std::string key = "stale";
    EXPECT_FALSE(source.childAt(0, target, key));
    EXPECT_FALSE(source.childAt(4, target, key));
    EXPECT_FALSE(source.childAt(1, target, key));
    EXPECT_EQ(key, "stale");
    ASSERT_TRUE(source.childAt(2, target, key));
    EXPECT_EQ(key, "o");
    EXPECT_EQ(target.toText(), R"({"x":"1"})");

    JsonArray list;
    ASSERT_TRUE(list.parse(R"(["t",{"x":"1"},[2]])"));
    JsonArray inner;
    EXPECT_FALSE(list.childAt(1, inner));
    EXPECT_FALSE(list.childAt(2, inner));
    EXPECT_FALSE(list.childAt(4, inner));
    EXPECT_TRUE(inner.isEmpty());
    ASSERT_TRUE(list.childAt(3, inner));
    EXPECT_EQ(inner.toText(), "[2]");
}

TEST(JsonDocument, ChildCopiesAreIndependentAlsoOfThemselves) {
    JsonObject parent;
    JsonArray params;
    ASSERT_TRUE(parent.create());
    ASSERT_TRUE(params.create());
    ASSERT_TRUE(params.add("a"));
    ASSERT_TRUE(parent.setChild("param", params));
    ASSERT_TRUE(params.add("b"));
    EXPECT_EQ(parent.toText(), R"({"param":["a"]})");
    ASSERT_TRUE(parent.setChild("self", parent));
    EXPECT_EQ(parent.toText(), R"({"param":["a"],"self":{"param":["a"]}})");
    ASSERT_TRUE(params.addArray(params));
    EXPECT_EQ(params.toText(), R"(["a","b",["a","b"]])");
    JsonObject text;
    ASSERT_TRUE(text.parse(R"({"k":"v"})"));
    ASSERT_TRUE(params.addObject(text));
    EXPECT_EQ(params.at(4), R"({"k":"v"})");
    EXPECT_FALSE(parent.setChild("none", JsonObject()));
    const JsonValue scalar = "x";
    EXPECT_FALSE(parent.setValue("scalar", &scalar));
    EXPECT_FALSE(params.addValue(&scalar));
}

TEST(JsonDocument, ArrayElementsAndWrongHeldKinds) {
    JsonArray array;
    ASSERT_TRUE(array.create());
    ASSERT_TRUE(array.add("x"));
    ASSERT_TRUE(array.add("5", JsonKind::Int));
    ASSERT_TRUE(array.add("", JsonKind::Bool));
    std::vector<std::string> texts;
    std::vector<JsonKind> kinds;
    ASSERT_EQ(array.elements(texts, kinds), 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"x", "5", ""}));
    EXPECT_EQ(kinds, (std::vector<JsonKind>{JsonKind::String, JsonKind::Int, JsonKind::Bool}));
    JsonKind kind = JsonKind::Null;
    EXPECT_EQ(array.at(0, kind), "");
    EXPECT_EQ(kind, JsonKind::Invalid);
    EXPECT_EQ(array.at(4, kind), "");

    JsonObject holdsArray;
    ASSERT_TRUE(holdsArray.parse("[1,2]"));
    std::vector<std::string> keys = {"untouched"};
    EXPECT_EQ(holdsArray.members(keys, texts, kinds), -1);
    EXPECT_EQ(keys, std::vector<std::string>{"untouched"});
    EXPECT_FALSE(holdsArray.set("k", "v"));
    EXPECT_EQ(holdsArray.get("k"), "");

    JsonArray holdsObject;
    ASSERT_TRUE(holdsObject.parse(R"({"a":1})"));
    EXPECT_EQ(holdsObject.elements(texts, kinds), -1);
    EXPECT_FALSE(holdsObject.add("v"));

    JsonObject empty;
    EXPECT_EQ(empty.members(keys, texts, kinds), -1);
    EXPECT_FALSE(empty.set("k", "v"));
    EXPECT_EQ(empty.size(), 0);
}

TEST(JsonDocument, ValuesLeaveOnlyByFreeingOrHandingOver) {
    JsonObject doc;
    ASSERT_TRUE(doc.parse(R"({"a":"1"})"));
    doc.setShared(true);
    std::unique_ptr<JsonValue> taken = doc.forget();
    ASSERT_NE(taken, nullptr);
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_EQ((*taken)["a"], "1");

    EXPECT_FALSE(doc.attach(nullptr));
    EXPECT_FALSE(doc.attach(std::make_unique<JsonValue>(JsonValue::value_t::discarded)));
    EXPECT_TRUE(doc.isEmpty());
    ASSERT_TRUE(doc.attach(std::move(taken)));
    EXPECT_EQ(doc.get("a"), "1");
    EXPECT_FALSE(doc.attach(nullptr));
    EXPECT_EQ(doc.get("a"), "1");

    doc.releaseValue();
    EXPECT_EQ(doc.handle(), nullptr);
    EXPECT_EQ(doc.toText(), "");
    ASSERT_TRUE(doc.create());
    doc.close();
    EXPECT_TRUE(doc.isEmpty());
}

TEST(JsonDocument, SerialisingTextThatIsNotUtf8NeverThrows) {
    JsonObject doc;
    ASSERT_TRUE(doc.create());
    ASSERT_TRUE(doc.set("bad", std::string("a\xff", 2)));
    EXPECT_EQ(doc.toText(), "{\"bad\":\"a\xEF\xBF\xBD\"}");
}

TEST(JsonReply, SucceededReadsErrcodeAsAnInteger) {
    struct Row {
        const char* text;
        bool succeeded;
    };
    const Row rows[] = {{R"({"errcode":0})", true},     {R"({"errcode":"0"})", true},
                        {R"({"msg":"no code"})", true}, {R"({"errcode":"1"})", false},
                        {R"({"errcode":9999})", false}, {R"({"errcode":" 0 "})", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        JsonReply reply;
        ASSERT_TRUE(reply.parse(row.text));
        EXPECT_EQ(reply.succeeded(), row.succeeded);
    }
    JsonReply reply;
    ASSERT_TRUE(reply.parse(R"({"errcode":7,"msg":"拒绝"})"));
    EXPECT_EQ(reply.errcode(), "7");
    EXPECT_EQ(reply.msg(), "拒绝");
}

}  // namespace
}  // namespace sscplan
