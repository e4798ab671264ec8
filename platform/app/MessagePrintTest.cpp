// The text form of a message (PrintToStream, ToString), in BeOS R5's layout
// as pinned in MessagePrint.cpp.

#include <Message.h>

#include <gtest/gtest.h>

#include "MessageTestUtils.h"

using namespace message_test;

namespace {

TEST(MessagePrintTest, EveryKindOfValueHasItsForm)
{
    BMessage message('abcd');
    message.AddInt32("count", 8);
    message.AddString("name", "value \"q\"\n");
    message.AddInt32("list", 8);
    message.AddInt32("list", 'LONG');
    message.AddString("strs", "a");
    message.AddString("strs", "bc");
    message.AddBool("flag", true);
    message.AddFloat("zoom", 600);
    message.AddDouble("ratio", 0.1);
    message.AddPoint("where", BPoint(1.5f, -2));
    message.AddRect("frame", BRect(0, 0, 47, 47));
    message.AddInt8("byte", 65);
    message.AddInt16("short", -1);
    message.AddInt64("long long", -2);
    message.AddUInt32("unsigned", 0xFFFFFFFF);
    uint8 raw[40];
    for (uint8 i = 0; i < 40; i++)
        raw[i] = i;
    message.AddData("raw", B_RAW_TYPE, raw, 40);
    message.AddData("odd", 'ODD\x01', raw, 3);

    EXPECT_EQ(
        "BMessage: what = abcd (0x61626364, or 1633837924)\n"
        "    entry          count, type='LONG', c=1, size= 4, data[0]: 0x8 (8, '')\n"
        "    entry           name, type='CSTR', c=1, size=11, data[0]: \"value \\\"q\\\"\\n\"\n"
        "    entry           list, type='LONG', c=2, size= 4,\n"
        "        data[0]: 0x8 (8, '')\n"
        "        data[1]: 0x4c4f4e47 (1280265799, 'LONG')\n"
        "    entry           strs, type='CSTR', c=2,\n"
        "        size= 2, data[0]: \"a\"\n"
        "        size= 3, data[1]: \"bc\"\n"
        "    entry           flag, type='BOOL', c=1, size= 1, data[0]: true\n"
        "    entry           zoom, type='FLOT', c=1, size= 4, data[0]: 600\n"
        "    entry          ratio, type='DBLE', c=1, size= 8, data[0]: 0.1\n"
        "    entry          where, type='BPNT', c=1, size= 8, data[0]: BPoint(x:1.5, y:-2)\n"
        "    entry          frame, type='RECT', c=1, size=16, data[0]: "
        "BRect(l:0, t:0, r:47, b:47)\n"
        "    entry           byte, type='BYTE', c=1, size= 1, data[0]: 0x41 (65, 'A')\n"
        "    entry          short, type='SHRT', c=1, size= 2, data[0]: 0xffff (-1)\n"
        "    entry      long long, type='LLNG', c=1, size= 8, data[0]: "
        "0xfffffffffffffffe (-2)\n"
        "    entry       unsigned, type='ULNG', c=1, size= 4, data[0]: "
        "0xffffffff (4294967295, '')\n"
        "    entry            raw, type='RAWT', c=1, size=40, data[0]: [00 01 02 03 04 05 06 "
        "07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f ... "
        "(40 bytes)]\n"
        "    entry            odd, type='ODD.', c=1, size= 3, data[0]: [00 01 02]\n",
        message.ToString());
}

TEST(MessagePrintTest, NestedMessagesAreIndentedUnderTheirLine)
{
    BMessage inner('in  ');
    inner.AddInt8("byte", 65);
    BMessage middle('mid ');
    middle.AddMessage("inner", &inner);
    BMessage message;
    message.AddMessage("one", &inner);
    BMessage empty;
    message.AddMessage("two", &empty);
    message.AddMessage("two", &middle);
    message.AddInt32("after", 0);

    EXPECT_EQ("BMessage: what =  (0x0, or 0)\n"
              "    entry            one, type='MSGG', c=1, size=30, data[0]: "
              "BMessage: what = in   (0x696e2020, or 1768824864)\n"
              "        entry           byte, type='BYTE', c=1, size= 1, data[0]: 0x41 (65, 'A')\n"
              "    entry            two, type='MSGG', c=2,\n"
              "        size=18, data[0]: BMessage: what =  (0x0, or 0)\n"
              "        size=70, data[1]: BMessage: what = mid  (0x6d696420, or 1835623456)\n"
              "            entry          inner, type='MSGG', c=1, size=30, data[0]: "
              "BMessage: what = in   (0x696e2020, or 1768824864)\n"
              "                entry           byte, type='BYTE', c=1, size= 1, data[0]: "
              "0x41 (65, 'A')\n"
              "    entry          after, type='LONG', c=1, size= 4, data[0]: 0x0 (0, '')\n",
        message.ToString());
}

TEST(MessagePrintTest, PrintToStreamWritesTheSameText)
{
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(kUnzipFileTypes.data(), kUnzipFileTypes.size()));
    const char* expected = "BMessage: what =  (0x0, or 0)\n"
                           "    entry          types, type='CSTR', c=1, size=16, data[0]: "
                           "\"application/zip\"\n";
    EXPECT_EQ(expected, message.ToString());
    ::testing::internal::CaptureStdout();
    message.PrintToStream();
    EXPECT_EQ(expected, ::testing::internal::GetCapturedStdout());
}

TEST(MessagePrintTest, RefsAndMessengersShowTheirParts)
{
    BMessage message;
    entry_ref ref(3, 42, "file \"x\"");
    message.AddRef("ref", &ref);
    message.AddData("messenger", B_MESSENGER_TYPE, "\x01\0\0\0\x02\0\0\0\x03\0\0\0", 12);
    message.AddData("mime", B_MIME_STRING_TYPE, "text/plain", 11, false);
    EXPECT_EQ("BMessage: what =  (0x0, or 0)\n"
              "    entry            ref, type='RREF', c=1, size=21, data[0]: "
              "entry_ref(device=3, directory=42, name=\"file \\\"x\\\"\")\n"
              "    entry      messenger, type='MSNG', c=1, size=12, data[0]: "
              "BMessenger(team=1, port=2, token=3)\n"
              "    entry           mime, type='MIMS', c=1, size=11, data[0]: \"text/plain\"\n",
        message.ToString());
}

} // namespace
