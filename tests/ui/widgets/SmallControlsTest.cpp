#include "ui/widgets/ColourButton.h"
#include "ui/widgets/ColourSwatch.h"
#include "ui/widgets/DialogButtons.h"
#include "ui/widgets/ImageComboBox.h"
#include "ui/widgets/MappedBitmapButton.h"
#include "ui/widgets/StaticLink.h"
#include "support/TestSupport.h"
#include "WidgetTestApp.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(StaticLinkTest, ALinkWithoutTargetOpensItsCaptionAndStaysVisited)
{
    TestApp();
    QStringList opened;
    CStaticLink::SetOpener([&](const QString& t) { return opened.push_back(t), true; });
    CStaticLink link;
    link.setText("https://example.org/marlox");
    EXPECT_EQ(link.GetLinkColour(), QColor(0, 0, 255));
    EXPECT_TRUE(link.font().underline());
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&link, &press);
    EXPECT_EQ(opened, QStringList{"https://example.org/marlox"});
    EXPECT_EQ(link.GetLinkColour(), QColor(128, 0, 128));
    EXPECT_TRUE(link.Open());
    EXPECT_EQ(link.GetLinkColour(), QColor(128, 0, 128));
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(128, 0, 128));

    CStaticLink target("https://example.org/other");
    target.setText("Our web page");
    EXPECT_TRUE(target.Open());
    EXPECT_EQ(opened.back(), "https://example.org/other");

    CStaticLink empty;
    EXPECT_FALSE(empty.Open());
    EXPECT_EQ(opened.size(), 3);
    CStaticLink::SetOpener({});
}

TEST(StaticLinkTest, AFailedOpenBeepsAndStaysUnvisited)
{
    TestApp();
    RecordingReporter reporter;
    CStaticLink::SetOpener([](const QString&) { return false; });
    CStaticLink link("somewhere");
    EXPECT_FALSE(link.Open());
    EXPECT_FALSE(link.IsVisited());
    EXPECT_EQ(reporter.beeps, 1);
    CStaticLink::SetOpener({});
}

TEST(ColourSwatchTest, BoldAndLargerFonts)
{
    TestApp();
    QFont base("Sans");
    base.setPointSize(10);
    base.setWeight(QFont::Bold); // 700
    QFont f = CColourSwatch::SwatchFont(base, true, true);
    EXPECT_EQ(f.weight(), 900); // not 1000
    EXPECT_EQ(f.pointSize(), 15);
    base.setWeight(QFont::Normal);
    EXPECT_EQ(CColourSwatch::SwatchFont(base, true, false).weight(), 700);
    QFont pixels("Sans");
    pixels.setPixelSize(13);
    EXPECT_EQ(CColourSwatch::SwatchFont(pixels, false, true).pixelSize(), 19); // 13 x 3 / 2, whole
    EXPECT_EQ(CColourSwatch::SwatchFont(pixels, false, false).pixelSize(), 13);

    QDialog dialog;
    auto* swatch = new CColourSwatch("Version 4.0", &dialog);
    swatch->AutoLoad(false, false, 0x0000FF, true);
    EXPECT_EQ(swatch->palette().color(QPalette::WindowText), QColor(255, 0, 0)); // COLORREF red
    EXPECT_TRUE(swatch->IsTransparent());
    EXPECT_FALSE(swatch->autoFillBackground());
}

TEST(ColourButtonTest, ColoursFollowTheSystemUnlessChosen)
{
    TestApp();
    CColourButton b;
    EXPECT_EQ(b.FaceColour(), b.palette().color(QPalette::Button));
    b.SetColours(true, false, false, 0, 0x808080, 0xFFFFFF);
    EXPECT_EQ(b.FaceColour(), b.palette().color(QPalette::Button));
    EXPECT_EQ(b.ShadowColour(), QColor(128, 128, 128));
    b.SetColours(false, false, false, 0x00FFFF, 0x808080, 0xFFFFFF);
    EXPECT_EQ(b.FaceColour(), QColor(255, 255, 0)); // COLORREF 0x00FFFF is yellow
    b.resize(40, 20);
    QImage shot = b.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(20, 10)), QColor(255, 255, 0));
}

TEST(MappedBitmapButtonTest, FourImagesOneForEachState)
{
    TestApp();
    EXPECT_EQ(CMappedBitmapButton::ImageIndex(false, false, false), 0);
    EXPECT_EQ(CMappedBitmapButton::ImageIndex(true, true, true), 1);
    EXPECT_EQ(CMappedBitmapButton::ImageIndex(false, true, true), 2);
    EXPECT_EQ(CMappedBitmapButton::ImageIndex(false, false, true), 3);

    QImage strip(64, 16, QImage::Format_RGB32);
    const QRgb parts[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0xC0, 0xC0, 0xC0)};
    for (int i = 0; i < 4; ++i) {
        QPainter p(&strip);
        p.fillRect(i * 16, 0, 16, 16, QColor(parts[i]));
    }
    CMappedBitmapButton button;
    EXPECT_FALSE(button.LoadBitmap(QImage()));
    ASSERT_TRUE(button.LoadBitmap(strip));
    button.SizeToContent();
    EXPECT_EQ(button.size(), QSize(16, 16));
    EXPECT_EQ(QColor(button.grab().toImage().pixel(8, 8)), QColor(255, 0, 0));
    button.setEnabled(false);
    // The light grey of the disabled image follows the button face.
    EXPECT_EQ(QColor(button.grab().toImage().pixel(8, 8)), button.palette().color(QPalette::Button));
}

TEST(ImageComboBoxTest, EntriesAreDrawnInTheStatesColours)
{
    TestApp();
    QImage picture(20, 6, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int x = 0; x < 20; ++x)
        picture.setPixel(x, 3, qRgb(0, 0, 0));
    CImageComboBox combo;
    ASSERT_TRUE(combo.AutoLoad({picture, picture}, 0xFFFFFF, 0x000000));
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), " ");
    EXPECT_EQ(combo.GetImageSize(), QSize(20, 6));
    QPalette pal = combo.palette();
    QImage normal = combo.EntryImage(1, CImageComboBox::normal);
    EXPECT_EQ(QColor(normal.pixel(0, 3)), pal.color(QPalette::Text));
    EXPECT_EQ(QColor(normal.pixel(0, 0)), pal.color(QPalette::Base));
    QImage selected = combo.EntryImage(1, CImageComboBox::selected);
    EXPECT_EQ(QColor(selected.pixel(0, 0)), pal.color(QPalette::Highlight));
    QImage disabled = combo.EntryImage(0, CImageComboBox::disabled);
    EXPECT_EQ(QColor(disabled.pixel(0, 3)), pal.color(QPalette::Disabled, QPalette::Text));
    EXPECT_EQ(QColor(disabled.pixel(0, 0)), pal.color(QPalette::Button));

    QImage other(20, 6, QImage::Format_RGB32);
    other.fill(Qt::black);
    EXPECT_TRUE(combo.ReplaceEntry(1, other));
    EXPECT_EQ(QColor(combo.EntryImage(1, CImageComboBox::normal).pixel(0, 0)), pal.color(QPalette::Text));
    EXPECT_FALSE(combo.ReplaceEntry(2, other));
    combo.RemoveAll();
    EXPECT_EQ(combo.count(), 0);
    EXPECT_TRUE(combo.EntryImage(0, CImageComboBox::normal).isNull());
}

TEST(DialogButtonsTest, CancelBecomesClose)
{
    TestApp();
    QDialog dialog;
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    EXPECT_TRUE(SetCancelToClose(&dialog));
    EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text(), "Close");
    QDialog bare;
    EXPECT_FALSE(SetCancelToClose(&bare));
}
