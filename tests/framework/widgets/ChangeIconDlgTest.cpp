#include "framework/widgets/ChangeIconDlg.h"

#include "support/TestSupport.h"

#include <QImageWriter>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ChangeIconDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "mx-icons-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Image(const char* name, QColor colour, const char* format)
    {
        QImage image(32, 32, QImage::Format_ARGB32);
        image.fill(colour);
        const std::string path = (m_dir / name).string();
        QImageWriter writer(QString::fromStdString(path), format);
        EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
        return path;
    }
    std::string Svg(const char* name)
    {
        const std::string path = (m_dir / name).string();
        std::ofstream(path) << "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                               "<rect width='16' height='16' fill='#00ff00'/></svg>";
        return path;
    }
    fs::path m_dir;
    RecordingReporter reporter;
};

TEST_F(ChangeIconDlgTest, AFolderGivesItsIconFilesInNameOrder)
{
    fs::create_directories(m_dir / "set");
    Image("set/b.png", Qt::blue, "png");
    Image("set/a.ico", Qt::red, "ico");
    Svg("set/c.svg");
    std::ofstream(m_dir / "set" / "notes.txt") << "not an icon";

    CChangeIconDlg dlg(nullptr, (m_dir / "set").string(), 1);
    ASSERT_EQ(dlg.IconList()->count(), 3);
    EXPECT_EQ(dlg.IconList()->currentRow(), 1);
    ASSERT_EQ(dlg.LargeImages().size(), 3u);
    EXPECT_EQ(dlg.LargeImages()[0].size(), QSize(32, 32));
    EXPECT_EQ(dlg.SmallImages()[0].size(), QSize(16, 16));
    EXPECT_EQ(dlg.LargeImages()[0].pixelColor(16, 16), QColor(Qt::red));   // a.ico first
    EXPECT_EQ(dlg.LargeImages()[1].pixelColor(16, 16), QColor(Qt::blue));  // then b.png
    EXPECT_EQ(dlg.LargeImages()[2].pixelColor(16, 16).green(), 255);        // c.svg drawn

    dlg.IconList()->setCurrentRow(2);
    dlg.accept();
    EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
    EXPECT_EQ(dlg.GetIndex(), 2);
    EXPECT_EQ(dlg.GetFileName(), (m_dir / "set").string());
}

TEST_F(ChangeIconDlgTest, UnreadableFileKeepsTheOldIcons)
{
    const std::string png = Image("one.png", Qt::blue, "png");
    CChangeIconDlg dlg(nullptr, png, 0);
    ASSERT_EQ(dlg.IconList()->count(), 1);
    std::ofstream(m_dir / "bad.ico") << "garbage";
    EXPECT_FALSE(dlg.LoadIcons((m_dir / "bad.ico").string()));
    EXPECT_FALSE(dlg.LoadIcons((m_dir / "missing.png").string()));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{25002, 25002}));
    EXPECT_EQ(dlg.IconList()->count(), 1);
    EXPECT_EQ(dlg.GetFileName(), png);

    // Typing a bad name into the edit puts the current one back.
    dlg.FileEdit()->setText(QString::fromStdString((m_dir / "missing.png").string()));
    dlg.OnFileEdited();
    EXPECT_EQ(dlg.FileEdit()->text().toStdString(), png);
}

TEST_F(ChangeIconDlgTest, OkWithoutAnIconIsRefused)
{
    CChangeIconDlg dlg(nullptr, "", 0);
    EXPECT_EQ(dlg.IconList()->count(), 0);
    dlg.accept();
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{26000});
    EXPECT_EQ(reporter.messages[0].text, "No icon has been selected.");
    EXPECT_EQ(dlg.result(), 0);
}

}  // namespace
