#include "app/HelpTopicMap.h"

#include <gtest/gtest.h>

TEST(HelpTopicMapTest, SectionsFollowTheIdRanges)
{
    struct Case {
        DWORD id;
        const char* section;
    } cases[] = {
        {0, "Help"},
        {0x10000, "Help"},
        {0x10001, "CommandHelp"},
        {0x20000, "CommandHelp"},
        {0x20001, "ResourceHelp"},
        {0x30000, "ResourceHelp"},
        {0x30001, "PromptHelp"},
        {0x40001, "NCAreasHelp"},
        {0x50001, "ControlHelp"},
        {0x60000, "ControlHelp"},
        {0x60001, "DispatchHelp"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(HelpSectionForId(c.id), c.section) << std::hex << c.id;
}

TEST(HelpTopicMapTest, KeysAreTheLow16Bits)
{
    EXPECT_EQ(HelpKeyHex(500), "0x1F4");
    EXPECT_EQ(HelpKeyDecimal(500), "500");
    EXPECT_EQ(HelpKeyHex(0x30000 + 1209), "0x4B9"); // a message box's id
    EXPECT_EQ(HelpKeyDecimal(0x30000 + 1209), "1209");
    EXPECT_EQ(HelpKeyHex(0x1E140), "0xE140");
    EXPECT_EQ(HelpKeyHex(0x10000), "0x0");
}

TEST(HelpTopicMapTest, TheHexadecimalKeyWins)
{
    CHelpTopicMap map;
    map.LoadText("; topics\n"
                 "[Help]\n"
                 "0x1F4=hex.html\n"
                 "500=decimal.html\n"
                 "501 = spaced.html \r\n"
                 "0x1F6=\n"
                 "502=fallback.html\n"
                 "[commandhelp]\n"
                 "0XE140=\"about.html\"\n"
                 "[PromptHelp]\n"
                 "1209=missing-topic.html\n");
    EXPECT_EQ(map.Lookup(500), "hex.html");
    EXPECT_EQ(map.Lookup(501), "spaced.html");
    EXPECT_EQ(map.Lookup(502), "fallback.html"); // an empty hexadecimal entry gives way
    EXPECT_EQ(map.Lookup(0x1E140), "about.html"); // sections and keys without regard to case
    EXPECT_EQ(map.Lookup(0x304B9), "missing-topic.html");
    EXPECT_EQ(map.Lookup(503), "");
    EXPECT_EQ(map.Lookup(0x101F4), ""); // same low bits, other section
}

TEST(HelpTopicMapTest, TopicsAreCutAt259Characters)
{
    CHelpTopicMap map;
    map.LoadText("[Help]\n1=" + std::string(300, 'a') + "\n");
    EXPECT_EQ(map.Lookup(1).size(), 259u);
}

TEST(HelpTopicMapTest, TheApplicationFiltersIds)
{
    struct Case {
        DWORD id;
        bool passes;
        DWORD result;
    } cases[] = {
        {0x1FFFF, true, 0x1FFFF}, {0x20000, false, 0}, {0x20005, false, 0},   {0x2FFFF, false, 0},
        {0x30000, true, 0x30000}, {0x200000, true, 0x200000}, {0x2304B9, true, 0x304B9},
    };
    for (const Case& c : cases) {
        DWORD id = c.id;
        EXPECT_EQ(FilterApplicationHelpId(id), c.passes) << std::hex << c.id;
        if (c.passes) {
            EXPECT_EQ(id, c.result) << std::hex << c.id;
        }
    }
}

TEST(HelpTopicMapTest, TheMapLiesBesideTheProgram)
{
    EXPECT_EQ(CHelpTopicMap::PathForProgram("/opt/marlox/bin/marlox"), "/opt/marlox/bin/marlox.ini");
    EXPECT_EQ(CHelpTopicMap::PathForProgram("/opt/v1.2/marlox"), "/opt/v1.2/marlox.ini");
    EXPECT_EQ(CHelpTopicMap::PathForProgram("C/Marlox32.exe"), "C/Marlox32.ini");
    CHelpTopicMap map;
    EXPECT_FALSE(map.Load("/nonexistent/marlox.ini"));
}
