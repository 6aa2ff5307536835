#include "app/MXCommandLineInfo.h"

#include <gtest/gtest.h>

namespace {

CMXCommandLineInfo Parse(std::vector<std::string> args)
{
    CMXCommandLineInfo info;
    info.ParseArguments(args);
    return info;
}

} // namespace

TEST(MXCommandLineInfoTest, ArgumentsBecomeARequest)
{
    using C = CMXCommandLineInfo;
    struct Case {
        std::vector<std::string> args;
        C::ShellCommand command;
        const char* file;
    } cases[] = {
        {{}, C::FileNew, ""},
        {{"Study.mxf"}, C::FileOpen, "Study.mxf"},
        {{"/home/ann/Study.mxf"}, C::FileOpen, "/home/ann/Study.mxf"}, // an absolute path is no flag
        {{"/new", "/home/ann/Lab.mxt"}, C::NewFromTemplate, "/home/ann/Lab.mxt"},
        {{"/home/ann/Lab.mxt", "/new"}, C::NewFromTemplate, "/home/ann/Lab.mxt"}, // switch after the path
        {{"-new", "Lab.mxt"}, C::NewFromTemplate, "Lab.mxt"},
        {{"--new", "Lab.mxt"}, C::NewFromTemplate, "Lab.mxt"},
        {{"/NEW", "Lab.mxt"}, C::FileOpen, "Lab.mxt"}, // case-sensitive: an ordinary open
        {{"/new"}, C::NewFromTemplate, ""},
        {{"a.mxf", "b.mxf"}, C::FileOpen, "a.mxf"}, // the first parameter is the file
        {{"/p", "Study.mxf"}, C::FilePrint, "Study.mxf"},
        {{"--install-desktop"}, C::FileNothing, ""},
        {{"/unknown", "Study.mxf"}, C::FileOpen, "Study.mxf"},
        {{"my file.mxf"}, C::FileOpen, "my file.mxf"},
    };
    for (const Case& c : cases) {
        CMXCommandLineInfo info = Parse(c.args);
        std::string label = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(info.m_nShellCommand, c.command) << label;
        EXPECT_EQ(info.m_strFileName, c.file) << label;
    }
    EXPECT_TRUE(Parse({"--install-desktop"}).m_bInstallDesktop);
    EXPECT_EQ(Parse({"/NEW", "x"}).m_unknownFlags, std::vector<std::string>{"NEW"});
    EXPECT_FALSE(Parse({"-minimized"}).m_bShowSplash);
}

TEST(MXCommandLineInfoTest, FlagsAreToldFromPaths)
{
    std::string_view flag;
    EXPECT_TRUE(CMXCommandLineInfo::IsFlag("/new", &flag));
    EXPECT_EQ(flag, "new");
    EXPECT_TRUE(CMXCommandLineInfo::IsFlag("--new", &flag));
    EXPECT_EQ(flag, "new");
    EXPECT_FALSE(CMXCommandLineInfo::IsFlag("/tmp/a.mxf"));
    EXPECT_FALSE(CMXCommandLineInfo::IsFlag("-"));
    EXPECT_FALSE(CMXCommandLineInfo::IsFlag("/"));
    EXPECT_FALSE(CMXCommandLineInfo::IsFlag("a-b.mxf"));
}

TEST(MXCommandLineInfoTest, ASecondStartHandsOverItsRequest)
{
    EXPECT_EQ(Parse({"/d/Study.mxf"}).ToDDECommand(), "[open(\"/d/Study.mxf\")]");
    EXPECT_EQ(Parse({"/p", "/d/Study.mxf"}).ToDDECommand(), "[print(\"/d/Study.mxf\")]");
    EXPECT_EQ(Parse({"/new", "/d/Lab.mxt"}).ToDDECommand(), "[new(\"/d/Lab.mxt\")]");
    EXPECT_EQ(Parse({}).ToDDECommand(), "");
    EXPECT_EQ(Parse({"/d/a\"b.mxf"}).ToDDECommand(), ""); // the form cannot carry it
    // What is sent is read back as it was meant.
    for (auto args : {std::vector<std::string>{"/d/x y.mxf"}, {"/p", "/d/x.mxf"}, {"/new", "/d/Lab.mxt"}}) {
        CMXCommandLineInfo info = Parse(args);
        DDERequest r = ParseDDECommand(info.ToDDECommand());
        EXPECT_EQ(r.path, info.m_strFileName);
        EXPECT_NE(r.kind, DDERequest::none);
    }
}

TEST(MXCommandLineInfoTest, ShellCommandsAreRead)
{
    struct Case {
        const char* text;
        DDERequest::Kind kind;
        const char* path;
    } cases[] = {
        {"[new(\"/d/Lab.mxt\")]", DDERequest::newFromTemplate, "/d/Lab.mxt"},
        {"[new(\"/d/Lab.mxt\"", DDERequest::newFromTemplate, "/d/Lab.mxt"}, // up to the quote
        {"[new(\"/d/Lab.mxt", DDERequest::none, ""},                       // no closing quote: not handled
        {"[NEW(\"/d/Lab.mxt\")]", DDERequest::none, ""},                   // the prefix is case-sensitive
        {" [new(\"/d/Lab.mxt\")]", DDERequest::none, ""},
        {"[new(\"\")]", DDERequest::newFromTemplate, ""},
        {"[open(\"/d/Study.mxf\")]", DDERequest::open, "/d/Study.mxf"},
        {"[OPEN( \"/d/Study.mxf\" )]", DDERequest::open, "/d/Study.mxf"},
        {"[print(\"/d/Study.mxf\")]", DDERequest::print, "/d/Study.mxf"},
        {"[open(/d/Study.mxf)]", DDERequest::none, ""},
        {"[delete(\"/d/Study.mxf\")]", DDERequest::none, ""},
        {"", DDERequest::none, ""},
        {"Is Marlox running?", DDERequest::none, ""},
    };
    for (const Case& c : cases) {
        DDERequest r = ParseDDECommand(c.text);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_EQ(r.path, c.path) << c.text;
    }
}
