#include "app/DesktopIntegration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class DesktopIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-xdg-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        const char* v = std::getenv("XDG_DATA_HOME");
        m_saved = v ? std::optional<std::string>(v) : std::nullopt;
        ::setenv("XDG_DATA_HOME", m_dir.c_str(), 1);
    }
    void TearDown() override
    {
        m_saved ? ::setenv("XDG_DATA_HOME", m_saved->c_str(), 1) : ::unsetenv("XDG_DATA_HOME");
        fs::remove_all(m_dir);
    }
    fs::path m_dir;
    std::optional<std::string> m_saved;
};

} // namespace

TEST_F(DesktopIntegrationTest, InstallsEveryFileBelowTheDataFolder)
{
    ASSERT_EQ(XdgDataHome(), m_dir.string());
    std::string error;
    ASSERT_TRUE(InstallDesktopIntegration("/opt/marlox/bin/marlox", XdgDataHome(), false, &error)) << error;

    EXPECT_EQ(ReadFile(m_dir / "applications" / "marlox.desktop"),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Marlox\n"
              "GenericName=Curve Fitting and Graphs\n"
              "Comment=Fit equations to laboratory data and draw graphs for publication\n"
              "Exec=/opt/marlox/bin/marlox %f\n"
              "Icon=marlox\n"
              "Terminal=false\n"
              "Categories=Science;Education;DataVisualization;\n"
              "MimeType=application/x-marlox-workspace;application/x-marlox-item;"
              "application/x-marlox-equation-library;application/x-marlox-filter;"
              "application/x-marlox3-data;application/x-marlox3-equation;\n");
    std::string templ = ReadFile(m_dir / "applications" / "marlox-template.desktop");
    EXPECT_NE(templ.find("Exec=/opt/marlox/bin/marlox /new %f\n"), std::string::npos);
    EXPECT_NE(templ.find("NoDisplay=true\n"), std::string::npos);
    EXPECT_NE(templ.find("MimeType=application/x-marlox-template;\n"), std::string::npos);

    std::string mime = ReadFile(m_dir / "mime" / "packages" / "marlox.xml");
    EXPECT_NE(mime.find("<mime-type type=\"application/x-marlox-workspace\">\n"
                        "    <comment>Marlox 4.0 Workspace</comment>\n"
                        "    <icon name=\"application-x-marlox-workspace\"/>\n"
                        "    <sub-class-of type=\"application/x-ole-storage\"/>\n"
                        "    <magic priority=\"60\">\n"
                        "      <match type=\"string\" offset=\"0\" value=\"\\xd0\\xcf\\x11\\xe0\\xa1\\xb1\\x1a\\xe1\">\n"
                        "        <match type=\"string\" offset=\"512:65536\" value=\"MX4VZK\"/>\n"
                        "      </match>\n"
                        "    </magic>\n"
                        "    <glob pattern=\"*.mxf\"/>\n"
                        "  </mime-type>"),
              std::string::npos);
    for (const char* glob : {"*.mxf", "*.mxt", "*.mxc", "*.mxl", "*.mxr", "*.mxd", "*.mxe"})
        EXPECT_NE(mime.find(std::string("<glob pattern=\"") + glob + "\"/>"), std::string::npos) << glob;
    for (const char* comment : {"Marlox 4.0 Template", "Marlox Data Filter", "Marlox Equation Library file",
                                "Marlox 3 Data File", "Marlox 3 Equation File"})
        EXPECT_NE(mime.find(std::string("<comment>") + comment + "</comment>"), std::string::npos) << comment;

    for (const MarloxFileType& t : GetMarloxFileTypes()) {
        fs::path icon = m_dir / "icons" / "hicolor" / "scalable" / "mimetypes" / (std::string(t.iconName) + ".svg");
        EXPECT_NE(ReadFile(icon).find("<svg"), std::string::npos) << icon;
    }
    EXPECT_TRUE(fs::exists(m_dir / "icons" / "hicolor" / "scalable" / "apps" / "marlox.svg"));
    // Only Marlox's own package: no other file in mime/packages.
    int packages = 0;
    for (const auto& entry : fs::directory_iterator(m_dir / "mime" / "packages")) {
        ++packages;
        EXPECT_EQ(entry.path().filename(), "marlox.xml");
    }
    EXPECT_EQ(packages, 1);
}

TEST_F(DesktopIntegrationTest, EveryStoredKindsSubTypeGetsItsKindsIcon)
{
    std::string error;
    ASSERT_TRUE(InstallDesktopIntegration("/opt/marlox/bin/marlox", XdgDataHome(), false, &error)) << error;
    const std::string mime = ReadFile(m_dir / "mime" / "packages" / "marlox.xml");
    const fs::path hicolor = m_dir / "icons" / "hicolor";
    std::set<std::string> pictures;
    for (const StoredItemKind& kind : GetStoredItemKinds()) {
        // The icon's name is the sub-type's, as the icon theme looks it up.
        std::string name = kind.mimeType;
        name[name.find('/')] = '-';
        EXPECT_EQ(name, kind.iconName);
        EXPECT_NE(mime.find(std::string("<mime-type type=\"") + kind.mimeType + "\">\n    <comment>" + kind.comment
                            + "</comment>\n    <icon name=\"" + name + "\"/>\n"),
                  std::string::npos)
            << kind.mimeType;
        // The scalable icon is the kind's drawn picture; every fixed size has a PNG of it.
        const std::string svg = ReadFile(hicolor / "scalable" / "mimetypes" / (name + ".svg"));
        EXPECT_EQ(svg, ReadFile(MARLOX_SOURCE_DIR "/app/icons/items/" + std::string(kind.itemIcon) + ".svg"));
        pictures.insert(svg);
        for (int size : IconThemeSizes()) {
            const std::string folder = std::to_string(size) + "x" + std::to_string(size);
            EXPECT_EQ(ReadFile(hicolor / folder / "mimetypes" / (name + ".png")).rfind("\x89PNG", 0), 0u) << name << size;
        }
    }
    EXPECT_EQ(pictures.size(), GetStoredItemKinds().size());
    // The stored-item type without a kind shows the stored-item card.
    EXPECT_EQ(ReadFile(hicolor / "scalable" / "mimetypes" / "application-x-marlox-item.svg"),
              ReadFile(MARLOX_SOURCE_DIR "/app/icons/items/stored.svg"));
}

TEST_F(DesktopIntegrationTest, InstallingAgainReplacesTheFiles)
{
    ASSERT_TRUE(InstallDesktopIntegration("/a/marlox", m_dir.string(), false));
    ASSERT_TRUE(InstallDesktopIntegration("/b/marlox", m_dir.string(), false));
    std::string entry = ReadFile(m_dir / "applications" / "marlox.desktop");
    EXPECT_NE(entry.find("Exec=/b/marlox %f"), std::string::npos);
    EXPECT_EQ(entry.find("/a/marlox"), std::string::npos);
}

TEST_F(DesktopIntegrationTest, ProgramPathsAreQuotedForExec)
{
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/marlox"), "/opt/marlox");
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/my apps/marlox"), "\"/opt/my apps/marlox\"");
    // Inside quotes $ is escaped with a backslash, which the string value doubles.
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/$x/marlox"), "\"/opt/\\\\$x/marlox\"");
    EXPECT_EQ(QuoteDesktopExecArgument("/opt/100%/marlox"), "/opt/100%%/marlox");
}

TEST_F(DesktopIntegrationTest, AnUnwritableFolderIsReported)
{
    std::ofstream(m_dir / "applications") << "a file where the folder should be";
    std::string error;
    EXPECT_FALSE(InstallDesktopIntegration("/opt/marlox", m_dir.string(), false, &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(DesktopIntegrationTest, TheSwitchReportsWhereItInstalled)
{
    std::ostringstream report;
    // The update tools run on the temporary folder only (or are missing, which is no error).
    EXPECT_EQ(RunDesktopInstall("/opt/marlox/bin/marlox", report), 0);
    EXPECT_NE(report.str().find(m_dir.string()), std::string::npos);
    EXPECT_TRUE(fs::exists(m_dir / "applications" / "marlox.desktop"));
}
