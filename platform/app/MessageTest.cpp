// The field API of BMessage: adding, finding, replacing and removing values
// of every type, and the rules BeOS applications rely on (error codes, field
// and value order, outputs left alone on failure).

#include <Message.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <Messenger.h>

#include "MessageTestUtils.h"

using namespace message_test;

namespace {

// One value type of the typed API: its type code, three distinct sample
// values, a sentinel to detect untouched outputs, and the typed calls.
struct Int8Api {
    using Value = int8;
    static constexpr type_code kType = B_INT8_TYPE;
    static Value Sample(int n) { return Value(-5 + 7 * n); }
    static Value Sentinel() { return 99; }
    static status_t Add(BMessage& m, const char* name, Value v) { return m.AddInt8(name, v); }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindInt8(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, Value v)
    {
        return m.ReplaceInt8(name, i, v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasInt8(name, i); }
};

#define BRENVIK_SCALAR_API(Api, ValueType, TypeCode, Suffix, a, b, sentinel)                       \
    struct Api {                                                                                   \
        using Value = ValueType;                                                                   \
        static constexpr type_code kType = TypeCode;                                               \
        static Value Sample(int n) { return Value(a + (b)*n); }                                    \
        static Value Sentinel() { return Value(sentinel); }                                        \
        static status_t Add(BMessage& m, const char* name, Value v)                                \
        {                                                                                          \
            return m.Add##Suffix(name, v);                                                         \
        }                                                                                          \
        static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)               \
        {                                                                                          \
            return m.Find##Suffix(name, i, v);                                                     \
        }                                                                                          \
        static status_t Replace(BMessage& m, const char* name, int32 i, Value v)                   \
        {                                                                                          \
            return m.Replace##Suffix(name, i, v);                                                  \
        }                                                                                          \
        static bool Has(const BMessage& m, const char* name, int32 i)                              \
        {                                                                                          \
            return m.Has##Suffix(name, i);                                                         \
        }                                                                                          \
    }

BRENVIK_SCALAR_API(UInt8Api, uint8, B_UINT8_TYPE, UInt8, 200, 11, 7);
BRENVIK_SCALAR_API(Int16Api, int16, B_INT16_TYPE, Int16, -30000, 1000, 5);
BRENVIK_SCALAR_API(UInt16Api, uint16, B_UINT16_TYPE, UInt16, 60000, 100, 5);
BRENVIK_SCALAR_API(Int32Api, int32, B_INT32_TYPE, Int32, -2000000000, 7, 5);
BRENVIK_SCALAR_API(UInt32Api, uint32, B_UINT32_TYPE, UInt32, 4000000000u, 3, 5);
BRENVIK_SCALAR_API(Int64Api, int64, B_INT64_TYPE, Int64, -9000000000000LL, 5, 5);
BRENVIK_SCALAR_API(UInt64Api, uint64, B_UINT64_TYPE, UInt64, 18000000000000000000ull, 9, 5);
BRENVIK_SCALAR_API(FloatApi, float, B_FLOAT_TYPE, Float, 0.25f, 1.5f, 99.0f);
BRENVIK_SCALAR_API(DoubleApi, double, B_DOUBLE_TYPE, Double, -1e300, 1e299, 42.0);
BRENVIK_SCALAR_API(BoolApi, bool, B_BOOL_TYPE, Bool, 0, 0, 0);

struct BoolPatternApi : BoolApi {
    // true, false, true, so that the order of values shows.
    static Value Sample(int n) { return n % 2 == 0; }
};

struct StringApi {
    using Value = std::string;
    static constexpr type_code kType = B_STRING_TYPE;
    static Value Sample(int n) { return n == 1 ? std::string() : "text " + std::to_string(n); }
    static Value Sentinel() { return "untouched"; }
    static status_t Add(BMessage& m, const char* name, const Value& v)
    {
        return m.AddString(name, v.c_str());
    }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindString(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, const Value& v)
    {
        return m.ReplaceString(name, i, v.c_str());
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasString(name, i); }
};

struct RectApi {
    using Value = BRect;
    static constexpr type_code kType = B_RECT_TYPE;
    static Value Sample(int n) { return BRect(n, -n, 10.5f * n, 20); }
    static Value Sentinel() { return BRect(1, 2, 3, 4); }
    static status_t Add(BMessage& m, const char* name, Value v) { return m.AddRect(name, v); }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindRect(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, Value v)
    {
        return m.ReplaceRect(name, i, v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasRect(name, i); }
};

struct PointApi {
    using Value = BPoint;
    static constexpr type_code kType = B_POINT_TYPE;
    static Value Sample(int n) { return BPoint(1.25f * n, -3.0f * n); }
    static Value Sentinel() { return BPoint(77, 78); }
    static status_t Add(BMessage& m, const char* name, Value v) { return m.AddPoint(name, v); }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindPoint(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, Value v)
    {
        return m.ReplacePoint(name, i, v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasPoint(name, i); }
};

struct PointerApi {
    using Value = void*;
    static constexpr type_code kType = B_POINTER_TYPE;
    static Value Sample(int n) { return reinterpret_cast<void*>(uintptr_t(0x1000 + 8 * n)); }
    static Value Sentinel() { return reinterpret_cast<void*>(uintptr_t(0xdead)); }
    static status_t Add(BMessage& m, const char* name, Value v) { return m.AddPointer(name, v); }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindPointer(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, Value v)
    {
        return m.ReplacePointer(name, i, v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasPointer(name, i); }
};

// entry_ref has no value semantics for comparison by EXPECT_EQ beyond ==.
struct RefApi {
    using Value = entry_ref;
    static constexpr type_code kType = B_REF_TYPE;
    static Value Sample(int n)
    {
        return n == 1
            ? entry_ref(3, 1234567890123LL, nullptr)
            : entry_ref(dev_t(n + 1), ino_t(1000 + n), ("leaf " + std::to_string(n)).c_str());
    }
    static Value Sentinel() { return entry_ref(9, 9, "sentinel"); }
    static status_t Add(BMessage& m, const char* name, const Value& v)
    {
        return m.AddRef(name, &v);
    }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindRef(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, const Value& v)
    {
        return m.ReplaceRef(name, i, &v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasRef(name, i); }
};

struct MessengerApi {
    using Value = BMessenger;
    static constexpr type_code kType = B_MESSENGER_TYPE;
    static Value Sample(int n)
    {
        BMessenger messenger;
        messenger.SetTo(100 + n, 200 + n, 300 + n);
        return messenger;
    }
    static Value Sentinel() { return Sample(50); }
    static status_t Add(BMessage& m, const char* name, const Value& v)
    {
        return m.AddMessenger(name, v);
    }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        return m.FindMessenger(name, i, v);
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, const Value& v)
    {
        return m.ReplaceMessenger(name, i, v);
    }
    static bool Has(const BMessage& m, const char* name, int32 i)
    {
        return m.HasMessenger(name, i);
    }
};

// Nested messages are compared through a value type holding code and text.
struct NestedValue {
    uint32 what = 0;
    std::string text;
    bool operator==(const NestedValue& other) const
    {
        return what == other.what && text == other.text;
    }
};

struct MessageApi {
    using Value = NestedValue;
    static constexpr type_code kType = B_MESSAGE_TYPE;
    static Value Sample(int n) { return { uint32('nst0' + n), std::string(size_t(n) * 40, 'x') }; }
    static Value Sentinel() { return { 'sent', "sentinel" }; }
    static BMessage Build(const Value& v)
    {
        BMessage message(v.what);
        message.AddString("text", v.text.c_str());
        return message;
    }
    static status_t Add(BMessage& m, const char* name, const Value& v)
    {
        BMessage nested = Build(v);
        return m.AddMessage(name, &nested);
    }
    static status_t Find(const BMessage& m, const char* name, int32 i, Value* v)
    {
        BMessage nested = Build(*v);
        status_t status = m.FindMessage(name, i, &nested);
        v->what = nested.what;
        v->text = nested.GetString("text", "");
        return status;
    }
    static status_t Replace(BMessage& m, const char* name, int32 i, const Value& v)
    {
        BMessage nested = Build(v);
        return m.ReplaceMessage(name, i, &nested);
    }
    static bool Has(const BMessage& m, const char* name, int32 i) { return m.HasMessage(name, i); }
};

template <typename Api> class MessageTypedTest : public ::testing::Test {
protected:
    using Value = typename Api::Value;

    // A message holding samples 0, 1 and 2 under "values".
    BMessage ThreeValues()
    {
        BMessage message('test');
        for (int n = 0; n < 3; n++)
            EXPECT_EQ(B_OK, Api::Add(message, "values", Api::Sample(n)));
        return message;
    }

    // The type of a field that is certainly not Api's.
    static type_code OtherType() { return Api::kType == B_RAW_TYPE ? B_INT32_TYPE : B_RAW_TYPE; }
};

using AllTypes = ::testing::Types<Int8Api, UInt8Api, Int16Api, UInt16Api, Int32Api, UInt32Api,
    Int64Api, UInt64Api, FloatApi, DoubleApi, BoolPatternApi, StringApi, RectApi, PointApi,
    PointerApi, RefApi, MessengerApi, MessageApi>;

class TypeNames {
public:
    template <typename T> static std::string GetName(int) { return TypeName(T::kType); }
};

TYPED_TEST_SUITE(MessageTypedTest, AllTypes, TypeNames);

TYPED_TEST(MessageTypedTest, AddedValuesAreFoundInOrder)
{
    using Api = TypeParam;
    BMessage message = this->ThreeValues();
    type_code type = 0;
    int32 count = 0;
    ASSERT_EQ(B_OK, message.GetInfo("values", &type, &count));
    EXPECT_EQ(Api::kType, type);
    EXPECT_EQ(3, count);
    for (int n = 0; n < 3; n++) {
        auto value = Api::Sentinel();
        ASSERT_EQ(B_OK, Api::Find(message, "values", n, &value)) << n;
        EXPECT_TRUE(value == Api::Sample(n)) << n;
        EXPECT_TRUE(Api::Has(message, "values", n));
    }
    EXPECT_FALSE(Api::Has(message, "values", 3));
    EXPECT_FALSE(Api::Has(message, "other", 0));
}

TYPED_TEST(MessageTypedTest, FailedFindsLeaveTheOutputAlone)
{
    using Api = TypeParam;
    BMessage message = this->ThreeValues();
    const char raw[] = "raw";
    ASSERT_EQ(B_OK, message.AddData("wrong", this->OtherType(), raw, sizeof(raw)));

    struct Case {
        const char* name;
        int32 index;
        status_t expected;
    } cases[] = {
        { "missing", 0, B_NAME_NOT_FOUND },
        { "values", 3, B_BAD_INDEX },
        { "values", -1, B_BAD_INDEX },
        { "wrong", 0, B_BAD_TYPE },
    };
    for (const Case& test : cases) {
        auto value = Api::Sentinel();
        EXPECT_EQ(test.expected, Api::Find(message, test.name, test.index, &value)) << test.name;
        EXPECT_TRUE(value == Api::Sentinel()) << test.name;
    }
}

TYPED_TEST(MessageTypedTest, AddingToAFieldOfAnotherTypeFails)
{
    using Api = TypeParam;
    BMessage message;
    const char raw[] = "raw";
    ASSERT_EQ(B_OK, message.AddData("name", this->OtherType(), raw, sizeof(raw)));
    EXPECT_EQ(B_BAD_TYPE, Api::Add(message, "name", Api::Sample(0)));
    int32 count = 0;
    message.GetInfo("name", nullptr, &count);
    EXPECT_EQ(1, count);
}

TYPED_TEST(MessageTypedTest, ReplaceChangesOneValueInPlace)
{
    using Api = TypeParam;
    BMessage message = this->ThreeValues();
    ASSERT_EQ(B_OK, Api::Replace(message, "values", 1, Api::Sample(2)));
    auto value = Api::Sentinel();
    for (int n : { 0, 2 }) {
        ASSERT_EQ(B_OK, Api::Find(message, "values", n, &value));
        EXPECT_TRUE(value == Api::Sample(n));
    }
    ASSERT_EQ(B_OK, Api::Find(message, "values", 1, &value));
    EXPECT_TRUE(value == Api::Sample(2));

    EXPECT_EQ(B_NAME_NOT_FOUND, Api::Replace(message, "missing", 0, Api::Sample(0)));
    EXPECT_EQ(B_BAD_INDEX, Api::Replace(message, "values", 3, Api::Sample(0)));
}

TYPED_TEST(MessageTypedTest, RemovingValuesKeepsTheOthersInOrder)
{
    using Api = TypeParam;
    BMessage message = this->ThreeValues();
    ASSERT_EQ(B_OK, message.RemoveData("values", 1));
    auto value = Api::Sentinel();
    ASSERT_EQ(B_OK, Api::Find(message, "values", 1, &value));
    EXPECT_TRUE(value == Api::Sample(2));
    EXPECT_EQ(B_BAD_INDEX, message.RemoveData("values", 2));
    ASSERT_EQ(B_OK, message.RemoveData("values", 0));
    ASSERT_EQ(B_OK, message.RemoveData("values", 0));
    // The field goes with its last value.
    EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("values", nullptr, (int32*)nullptr));
    EXPECT_TRUE(message.IsEmpty());
}

TYPED_TEST(MessageTypedTest, CopiesAndFlattenedFormsKeepTheValues)
{
    using Api = TypeParam;
    BMessage original = this->ThreeValues();
    BMessage copy(original);
    BMessage assigned;
    assigned = original;
    BMessage unflattened;
    Bytes bytes = Flattened(original);
    ASSERT_EQ(B_OK, unflattened.Unflatten(bytes.data(), bytes.size()));
    // Changing the original afterwards must not reach the copies.
    ASSERT_EQ(B_OK, Api::Replace(original, "values", 0, Api::Sample(1)));

    for (const BMessage* message : { &copy, &assigned, &unflattened }) {
        EXPECT_EQ(uint32('test'), message->what);
        for (int n = 0; n < 3; n++) {
            auto value = Api::Sentinel();
            ASSERT_EQ(B_OK, Api::Find(*message, "values", n, &value));
            EXPECT_TRUE(value == Api::Sample(n));
        }
    }
}

// #pragma mark - Generic data

TEST(MessageDataTest, AddDataRefusesEmptyOrMissingData)
{
    BMessage message;
    int32 value = 1;
    EXPECT_EQ(B_BAD_VALUE, message.AddData("a", B_INT32_TYPE, nullptr, 4));
    EXPECT_EQ(B_BAD_VALUE, message.AddData("a", B_INT32_TYPE, &value, 0));
    EXPECT_EQ(B_BAD_VALUE, message.AddData("a", B_INT32_TYPE, &value, -4));
    EXPECT_EQ(B_BAD_VALUE, message.AddData(nullptr, B_INT32_TYPE, &value, 4));
    EXPECT_EQ(B_BAD_VALUE, message.AddString("a", static_cast<const char*>(nullptr)));
    EXPECT_TRUE(message.IsEmpty());
}

TEST(MessageDataTest, TheFirstAddDecidesWhetherItemsHaveOneSize)
{
    BMessage message;
    const char bytes[] = "0123456789";
    // AddData's default is a fixed size: later items must match it.
    ASSERT_EQ(B_OK, message.AddData("fixed", B_RAW_TYPE, bytes, 4));
    EXPECT_EQ(B_BAD_VALUE, message.AddData("fixed", B_RAW_TYPE, bytes, 5));
    EXPECT_EQ(B_OK, message.AddData("fixed", B_RAW_TYPE, bytes + 1, 4, false));
    ASSERT_EQ(B_OK, message.AddData("variable", B_RAW_TYPE, bytes, 4, false));
    EXPECT_EQ(B_OK, message.AddData("variable", B_RAW_TYPE, bytes, 7, true));

    bool fixedSize = false;
    int32 count = 0;
    ASSERT_EQ(B_OK, message.GetInfo("fixed", nullptr, &count, &fixedSize));
    EXPECT_TRUE(fixedSize);
    EXPECT_EQ(2, count);
    ASSERT_EQ(B_OK, message.GetInfo("variable", nullptr, &fixedSize));
    EXPECT_FALSE(fixedSize);
    const void* data;
    ssize_t size;
    ASSERT_EQ(B_OK, message.FindData("variable", B_RAW_TYPE, 1, &data, &size));
    EXPECT_EQ(7, size);
    EXPECT_EQ(0, std::memcmp(data, bytes, 7));
    // A fixed-size item is replaced only by one of its size.
    EXPECT_EQ(B_BAD_VALUE, message.ReplaceData("fixed", B_RAW_TYPE, 0, bytes, 3));
    EXPECT_EQ(B_OK, message.ReplaceData("variable", B_RAW_TYPE, 0, bytes, 9));
    ASSERT_EQ(B_OK, message.FindData("variable", B_RAW_TYPE, 0, &data, &size));
    EXPECT_EQ(9, size);
    ASSERT_EQ(B_OK, message.FindData("variable", B_RAW_TYPE, 1, &data, &size));
    EXPECT_EQ(7, size);
}

TEST(MessageDataTest, AnyTypeFindsDataOfEveryType)
{
    BMessage message;
    ASSERT_EQ(B_OK, message.AddInt32("number", 7));
    ASSERT_EQ(B_OK, message.AddData("sound", B_ANY_TYPE, "abc", 3));
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(B_OK, message.FindData("number", B_ANY_TYPE, &data, &size));
    EXPECT_EQ(4, size);
    EXPECT_EQ(7, *static_cast<const int32*>(data));
    ASSERT_EQ(B_OK, message.FindData("sound", B_ANY_TYPE, &data, &size));
    EXPECT_EQ(3, size);
    EXPECT_TRUE(message.HasData("number", B_ANY_TYPE));
    EXPECT_EQ(B_BAD_TYPE, message.FindData("sound", B_RAW_TYPE, &data, &size));
}

TEST(MessageDataTest, TypedFindsRefuseItemsOfTheWrongSize)
{
    BMessage message;
    int16 shortValue = 3;
    ASSERT_EQ(B_OK, message.AddData("number", B_INT32_TYPE, &shortValue, sizeof(shortValue)));
    int32 value = 55;
    EXPECT_EQ(B_BAD_DATA, message.FindInt32("number", &value));
    EXPECT_EQ(55, value);
    EXPECT_FALSE(message.HasInt32("number"));
}

TEST(MessageDataTest, FindStringRequiresTheTerminatingNul)
{
    BMessage message;
    ASSERT_EQ(B_OK, message.AddData("text", B_STRING_TYPE, "abc", 3, false));
    const char* text = "untouched";
    EXPECT_EQ(B_BAD_DATA, message.FindString("text", &text));
    EXPECT_STREQ("untouched", text);
    std::string string = "untouched";
    EXPECT_EQ(B_BAD_DATA, message.FindString("text", &string));
    EXPECT_EQ("untouched", string);
    EXPECT_FALSE(message.HasString("text"));
    EXPECT_STREQ("default", message.GetString("text", "default"));
}

TEST(MessageDataTest, NamesLongerThanTheFlattenedFormAllowsAreRefused)
{
    BMessage message;
    std::string longest(255, 'n');
    std::string tooLong(256, 'n');
    EXPECT_EQ(B_OK, message.AddInt32(longest.c_str(), 1));
    EXPECT_EQ(B_BAD_VALUE, message.AddInt32(tooLong.c_str(), 1));
    EXPECT_EQ(B_BAD_VALUE, message.Rename(longest.c_str(), tooLong.c_str()));
}

TEST(MessageDataTest, NestedMessageFieldsHoldOnlyReadableMessages)
{
    BMessage message;
    const char garbage[] = "not a message at all";
    EXPECT_EQ(B_BAD_VALUE, message.AddData("nested", B_MESSAGE_TYPE, garbage, sizeof(garbage)));
    BMessage nested('nest');
    ASSERT_EQ(B_OK, message.AddMessage("nested", &nested));
    EXPECT_EQ(B_BAD_VALUE, message.ReplaceData("nested", B_MESSAGE_TYPE, garbage, sizeof(garbage)));
    EXPECT_EQ(B_BAD_VALUE, message.AddMessage("nested", nullptr));
}

TEST(MessageDataTest, NestingIsLimited)
{
    BMessage message('deep');
    int depth = 0;
    while (depth < 100) {
        BMessage outer('deep');
        if (outer.AddMessage("inner", &message) != B_OK)
            break;
        message = outer;
        depth++;
    }
    // A message holds messages up to 64 levels below it.
    EXPECT_EQ(64, depth);
}

// #pragma mark - Fields as a whole

TEST(MessageFieldsTest, FieldsKeepTheOrderTheyWereAddedIn)
{
    BMessage message;
    const char* names[] = { "zeta", "alpha", "mid", "beta" };
    for (const char* name : names)
        ASSERT_EQ(B_OK, message.AddInt32(name, 1));
    ASSERT_EQ(B_OK, message.AddString("alpha2", "x"));
    ASSERT_EQ(B_OK, message.AddInt32("zeta", 2));

    char* name;
    type_code type;
    int32 count;
    for (int32 i = 0; i < 4; i++) {
        ASSERT_EQ(B_OK, message.GetInfo(B_INT32_TYPE, i, &name, &type, &count));
        EXPECT_STREQ(names[i], name);
        EXPECT_EQ(i == 0 ? 2 : 1, count);
    }
    ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, 4, &name, &type, &count));
    EXPECT_STREQ("alpha2", name);
    EXPECT_EQ(B_STRING_TYPE, type);
    EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_INT32_TYPE, 4, &name, &type, &count));
    EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_ANY_TYPE, 5, &name, &type, &count));
    EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_ANY_TYPE, -1, &name, &type, &count));
    EXPECT_EQ(B_BAD_TYPE, message.GetInfo(B_RECT_TYPE, 0, &name, &type, &count));

    EXPECT_EQ(5, message.CountNames(B_ANY_TYPE));
    EXPECT_EQ(4, message.CountNames(B_INT32_TYPE));
    EXPECT_EQ(0, message.CountNames(B_RECT_TYPE));
}

TEST(MessageFieldsTest, GetInfoOfAMissingNameReportsNoValues)
{
    BMessage message;
    type_code type = 'keep';
    int32 count = 17;
    EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("install_file", &type, &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(type_code('keep'), type);
}

TEST(MessageFieldsTest, RenameKeepsThePlaceAndRefusesTakenNames)
{
    BMessage message;
    ASSERT_EQ(B_OK, message.AddInt32("first", 1));
    ASSERT_EQ(B_OK, message.AddInt32("second", 2));
    ASSERT_EQ(B_OK, message.Rename("first", "renamed"));
    char* name;
    ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, 0, &name, nullptr));
    EXPECT_STREQ("renamed", name);
    EXPECT_EQ(1, message.GetInt32("renamed", 0));
    EXPECT_FALSE(message.HasInt32("first"));
    EXPECT_EQ(B_NAME_IN_USE, message.Rename("renamed", "second"));
    EXPECT_EQ(B_NAME_NOT_FOUND, message.Rename("first", "other"));
    EXPECT_EQ(B_OK, message.Rename("second", "second"));
}

TEST(MessageFieldsTest, RemoveNameAndMakeEmptyKeepTheCode)
{
    BMessage message('code');
    ASSERT_EQ(B_OK, message.AddInt32("a", 1));
    ASSERT_EQ(B_OK, message.AddInt32("b", 2));
    EXPECT_EQ(B_OK, message.RemoveName("a"));
    EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveName("a"));
    EXPECT_EQ(2, message.GetInt32("b", 0));
    EXPECT_EQ(B_OK, message.MakeEmpty());
    EXPECT_TRUE(message.IsEmpty());
    EXPECT_EQ(uint32('code'), message.what);
}

TEST(MessageFieldsTest, GettersFallBackToTheirDefaults)
{
    BMessage message;
    ASSERT_EQ(B_OK, message.AddBool("flag", true));
    ASSERT_EQ(B_OK, message.AddInt64("big", 1LL << 40));
    EXPECT_TRUE(message.GetBool("flag"));
    EXPECT_TRUE(message.GetBool("missing", true));
    EXPECT_EQ(1LL << 40, message.GetInt64("big", 0));
    EXPECT_EQ(-3, message.GetInt32("big", -3));
    EXPECT_EQ(nullptr, message.GetString("missing"));
    EXPECT_STREQ("x", message.GetString("missing", 0, "x"));
}

TEST(MessageFieldsTest, SystemCodesAreAnUnderscoreAndThreeCapitals)
{
    EXPECT_TRUE(BMessage('_QRQ').IsSystem());
    EXPECT_FALSE(BMessage('_QrQ').IsSystem());
    EXPECT_FALSE(BMessage('isud').IsSystem());
    EXPECT_FALSE(BMessage().IsSystem());
}

TEST(MessageFieldsTest, FindMessageReplacesTheWholeOutput)
{
    BMessage nested('nest');
    nested.AddString("inner", "value");
    BMessage message;
    ASSERT_EQ(B_OK, message.AddMessage("child", &nested));
    BMessage output('old!');
    output.AddInt32("stale", 1);
    ASSERT_EQ(B_OK, message.FindMessage("child", &output));
    EXPECT_EQ(uint32('nest'), output.what);
    EXPECT_FALSE(output.HasInt32("stale"));
    EXPECT_STREQ("value", output.GetString("inner"));
}

TEST(MessageFieldsTest, RefsWithoutNamesAndOddDevicesRoundTrip)
{
    BMessage message;
    entry_ref unnamed(dev_t(-1), ino_t(-1), nullptr);
    ASSERT_EQ(B_OK, message.AddRef("ref", &unnamed));
    entry_ref found(1, 2, "x");
    ASSERT_EQ(B_OK, message.FindRef("ref", &found));
    EXPECT_EQ(unnamed, found);
    EXPECT_EQ(nullptr, found.name);
    // A device number wider than the 32 bits a flattened ref holds is
    // refused, not cut.
    entry_ref wide(dev_t(1) << 40, 5, "leaf");
    EXPECT_EQ(B_BAD_VALUE, message.AddRef("wide", &wide));
}

} // namespace
