#include "equation/HardEquation.h"
#include "framework/DoubleColumns.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Library(const char* name) { return std::string(MARLOX_TESTEQN_DIR) + "/" + name + ".mxl"; }

// The calls the loaded library has seen so far.
std::string CallLog(const std::string& file)
{
    void* h = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!h)
        return "(not loaded)";
    auto log = reinterpret_cast<const char* (*)()>(dlsym(h, "TestLibrary_CallLog"));
    std::string text = log ? log() : "";
    dlclose(h);
    return text;
}

class HardEquation : public ::testing::Test {
protected:
    void SetUp() override { CHardEquation::SetLibraryFolders("", ""); }
    void TearDown() override { CHardEquation::SetLibraryFolders("", ""); }
};

TEST_F(HardEquation, BindsInOrderAndTakesTheNames)
{
    CHardEquation eq;
    ASSERT_TRUE(eq.Load(Library("testeqn_good")));
    EXPECT_EQ(CallLog(Library("testeqn_good")),
              "Version CanEstimate GetNParameters P0 P1 P2 GetNConstants P0 P1 GetNX X0 GetYName GetDescription");
    EXPECT_EQ(eq.GetParameterCount(), 3);
    EXPECT_EQ(eq.GetParameterName(1), "Rate");
    std::string name, label;
    eq.GetParameterNames(2, name, label);
    EXPECT_EQ(name, "c");
    // Constants are named by the parameter-name function.
    EXPECT_EQ(eq.GetConstantCount(), 2);
    eq.GetConstantNames(1, name, label);
    EXPECT_EQ(name, "b");
    EXPECT_EQ(label, "Rate");
    EXPECT_EQ(eq.GetXName(0), "Time");
    EXPECT_EQ(eq.GetYName(), "signal");
    EXPECT_EQ(eq.GetDescription(), "Exponential decay with offset");
    EXPECT_EQ(eq.GetUseParameterDefinitions(), 1);
}

TEST_F(HardEquation, CalculatesThroughTheLibrary)
{
    CHardEquation eq;
    ASSERT_TRUE(eq.Load(Library("testeqn_good")));
    eq.ResizeValues();
    auto& p = eq.GetParameterValues();
    p[0] = 2, p[1] = 0.5, p[2] = 3;
    eq.GetConstantValues()[0] = 4;
    eq.GetConstantValues()[1] = 1;
    eq.GetXValues()[0] = 2;
    // 2 e^-1 + 3 * 4 + 1
    EXPECT_DOUBLE_EQ(eq.Calculate(), 2 * std::exp(-1.0) + 13);
    EXPECT_DOUBLE_EQ(eq.GetResult(), 2 * std::exp(-1.0) + 13);
    CMyVector d(3);
    eq.CalculateDerivatives(d);
    EXPECT_DOUBLE_EQ(d[0], std::exp(-1.0));
    EXPECT_DOUBLE_EQ(d[1], -2 * 2 * std::exp(-1.0));
    EXPECT_DOUBLE_EQ(d[2], 4);

    // Estimates: the library fits ln y on x with the program's exported line.
    CDoubleColumns x;
    CMyVector y(4), w;
    for (int i = 0; i < 4; ++i) {
        x.SetValue(0, i, i);
        y[i] = 4 * std::exp(-0.5 * i);
    }
    ASSERT_EQ(eq.CalculateEstimates(x, y, w), 1);
    EXPECT_NEAR(p[0], 4, 1e-12);
    EXPECT_NEAR(p[1], 0.5, 1e-12);

    auto copy = eq.Clone();
    EXPECT_TRUE(copy->IsValid());
    EXPECT_EQ(copy->GetParameterValues()[0], p[0]);
}

TEST_F(HardEquation, RefusedLibrariesLeaveItInvalid)
{
    for (const char* name : {"testeqn_badversion", "testeqn_nocalc", "no_such_library"}) {
        CHardEquation eq;
        EXPECT_FALSE(eq.Load(Library(name))) << name;
        EXPECT_FALSE(eq.IsValid());
        EXPECT_EQ(eq.GetParameterCount(), 0);
        EXPECT_EQ(eq.GetYName(), "");
        EXPECT_EQ(eq.GetDescription(), "(Equation library not valid)");
        EXPECT_EQ(eq.Calculate(), 0.0);
        CDoubleColumns x;
        CMyVector y, w;
        EXPECT_EQ(eq.CalculateEstimates(x, y, w), 0);
        // Unloaded once, not left open.
        EXPECT_EQ(CallLog(Library(name)), "(not loaded)");
    }
    // The version is asked first, and a refusal stops the binding there.
    CHardEquation never;
    EXPECT_EQ(never.GetDescription(), "");
}

TEST_F(HardEquation, SearchesUserFolderThenGroupFolderThenThePath)
{
    const fs::path root = fs::temp_directory_path() / ("mx_hardeqn_" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* d : {"user", "group", "stored"})
        fs::create_directories(root / d);
    fs::copy_file(Library("testeqn_user"), root / "user" / "same.mxl");
    fs::copy_file(Library("testeqn_group"), root / "group" / "same.mxl");
    fs::copy_file(Library("testeqn_path"), root / "stored" / "same.mxl");
    const std::string stored = (root / "stored" / "same.mxl").string();

    CHardEquation::SetLibraryFolders((root / "user").string(), (root / "group").string());
    {
        CHardEquation eq;
        ASSERT_TRUE(eq.Load(stored));
        EXPECT_EQ(eq.GetDescription(), "user copy");
        // A path written on another system still names its file.
        CHardEquation windows;
        ASSERT_TRUE(windows.Load("C:\\Equations\\same.mxl"));
        EXPECT_EQ(windows.GetDescription(), "user copy");
    }
    fs::remove(root / "user" / "same.mxl");
    {
        CHardEquation eq;
        ASSERT_TRUE(eq.Load(stored));
        EXPECT_EQ(eq.GetDescription(), "group copy");
    }
    CHardEquation::SetLibraryFolders("", "");
    {
        CHardEquation eq;
        ASSERT_TRUE(eq.Load(stored));
        EXPECT_EQ(eq.GetDescription(), "stored path copy");
        EXPECT_EQ(eq.GetLoadedFile(), stored);
    }
    fs::remove_all(root);
}

TEST_F(HardEquation, StoredFormReloadsTheLibrary)
{
    CHardEquation eq;
    ASSERT_TRUE(eq.Load(Library("testeqn_good")));
    eq.ResizeValues();
    eq.GetParameterValues()[1] = 0.25;
    Bytes bytes = StoreBytes([&](CArchive& ar) { eq.Serialize(ar); });
    // Version 0, then the base record's version 0.
    EXPECT_EQ(ToHex(Bytes(bytes.begin(), bytes.begin() + 8)), "00 00 00 00 00 00 00 00");
    CHardEquation back;
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }), 0u);
    EXPECT_TRUE(back.IsValid());
    EXPECT_EQ(back.GetLibraryPath(), Library("testeqn_good"));
    EXPECT_EQ(back.GetParameterValues()[1], 0.25);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { back.Serialize(ar); }), bytes);
}

TEST_F(HardEquation, ALibraryThatAFileNamesLoadsOnlyWithTheUsersWord)
{
    const std::string path = Library("testeqn_path");
    CHardEquation chosen;
    ASSERT_TRUE(chosen.Load(path));
    const Bytes bytes = StoreBytes([&](CArchive& ar) { chosen.Serialize(ar); });
    auto read = [&] {
        CHardEquation back;
        LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
        return back.IsValid();
    };

    // A new session: the library is no longer known.
    CHardEquation::ForgetLibraryAnswers();
    RecordingReporter reporter;
    reporter.Answer(IDNO);
    EXPECT_FALSE(read());
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{27002});
    EXPECT_EQ(reporter.messages[0].args, std::vector<std::string>{path});
    // The answer holds for the session: no second question.
    EXPECT_FALSE(read());
    EXPECT_EQ(reporter.messages.size(), 1u);
    // A copy of a refused equation never asks and never loads.
    CHardEquation refused;
    LoadBytes(bytes, [&](CArchive& ar) { refused.Serialize(ar); });
    CHardEquation copy;
    copy.Assign(refused);
    EXPECT_FALSE(copy.IsValid());
    EXPECT_EQ(copy.GetLibraryPath(), path);
    EXPECT_EQ(refused.GetDescription(), "(Equation library not valid)");
    EXPECT_EQ(reporter.messages.size(), 1u);

    // Nobody there to answer: the box's default is No.
    CHardEquation::ForgetLibraryAnswers();
    EXPECT_FALSE(read());
    EXPECT_EQ(reporter.messages.size(), 2u);

    CHardEquation::ForgetLibraryAnswers();
    reporter.Answer(IDYES);
    EXPECT_TRUE(read());
    EXPECT_TRUE(read());
    EXPECT_EQ(reporter.messages.size(), 3u);

    // A library in the user's or the group's folder counts as chosen.
    for (bool user : {true, false}) {
        CHardEquation::ForgetLibraryAnswers();
        CHardEquation::SetLibraryFolders(user ? MARLOX_TESTEQN_DIR : "", user ? "" : MARLOX_TESTEQN_DIR);
        EXPECT_TRUE(read()) << user;
        EXPECT_EQ(reporter.messages.size(), 3u) << user;
    }
}

TEST(LinearRegression, HandComputedCases)
{
    const double x[] = {0, 1, 2, 3};
    const double y[] = {1, 3, 2, 5};
    double a, b, sa, sb, r;
    MX4_LinearRegression(4, x, y, nullptr, &a, &b, &sa, &sb, &r);
    // S = 4, Sx = 6, Sy = 11, Sxx = 14, Syy = 39, Sxy = 22, D = 20:
    // a = b = 1.1, residual squares 2.7, s2 = 2.7 / 2.
    EXPECT_NEAR(a, 1.1, 1e-14);
    EXPECT_NEAR(b, 1.1, 1e-14);
    EXPECT_NEAR(sa, std::sqrt(1.35 * 14 / 20), 1e-14);
    EXPECT_NEAR(sb, std::sqrt(1.35 * 4 / 20), 1e-14);
    EXPECT_NEAR(r, 22 / std::sqrt(700.0), 1e-14);

    // Weights 1 2 1 2: a = 14/11, b = 25/22, weighted residual squares 37/11,
    // and the degrees of freedom stay n - 2 = 2 (not the weight sum - 2).
    const double w[] = {1, 2, 1, 2};
    MX4_LinearRegression(4, x, y, w, &a, &b, &sa, &sb, &r);
    EXPECT_NEAR(a, 14.0 / 11, 1e-14);
    EXPECT_NEAR(b, 25.0 / 22, 1e-14);
    EXPECT_NEAR(sb, std::sqrt(37.0 / 22 * 6 / 44), 1e-14);
    EXPECT_NEAR(sa, std::sqrt(37.0 / 22 * 24 / 44), 1e-14);

    // Two points: the exact line, no scatter.
    const double x2[] = {1, 3}, y2[] = {2, 8};
    MX4_LinearRegression(2, x2, y2, nullptr, &a, &b, &sa, &sb, &r);
    EXPECT_DOUBLE_EQ(a, -1);
    EXPECT_DOUBLE_EQ(b, 3);
    EXPECT_EQ(sa, 0);
    EXPECT_EQ(sb, 0);
    EXPECT_DOUBLE_EQ(r, 1);
    // One point: D = 0 gives values that are not finite, and no exception.
    MX4_LinearRegression(1, x2, y2, nullptr, &a, &b, &sa, &sb, &r);
    EXPECT_FALSE(std::isfinite(a));
    EXPECT_FALSE(std::isfinite(b));
}

} // namespace
