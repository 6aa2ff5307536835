#include "ui/widgets/CommandImages.h"

#include <QAction>
#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

TEST(CommandImages, TheFirstToolbarThatShowsACommandGivesItsImage)
{
    auto plain = [](Qt::GlobalColor colour) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colour);
        return QIcon(pixmap);
    };
    QIcon red = plain(Qt::red);
    QIcon blue = plain(Qt::blue);
    CCommandImages images;
    images.LoadToolbar({{100, red}, {0, {}}, {101, red}});
    images.LoadToolbar({{101, blue}, {102, blue}});
    auto colour = [&](UINT id) { return images.Image(id).pixmap(16, 16).toImage().pixelColor(8, 2); };
    EXPECT_EQ(colour(101), QColor(Qt::red));
    EXPECT_EQ(colour(102), QColor(Qt::blue));
    EXPECT_FALSE(images.HasImage(0));
    EXPECT_FALSE(images.HasImage(103));
    QAction action("x");
    images.Apply(&action, 103);
    EXPECT_TRUE(action.icon().isNull());
    images.Apply(&action, 100);
    EXPECT_FALSE(action.icon().isNull());
}

// Pictures drawn from SVG or by hand come at the size asked for, a square
// within it, with the style's disabled form; text that is no SVG gives none.
TEST(CommandImages, DrawnPicturesComeAtTheSizeAskedFor)
{
    const QByteArray square = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 10 10'>"
                              "<rect x='0' y='0' width='10' height='10' fill='#ff0000'/></svg>";
    const QIcon svg = CCommandImages::SvgIconFromText(square);
    ASSERT_FALSE(svg.isNull());
    EXPECT_FALSE(svg.availableSizes().isEmpty());
    for (int side : {16, 20, 64}) {
        const QImage image = svg.pixmap(side, side).toImage();
        EXPECT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(image.pixelColor(side / 2, side / 2), QColor(Qt::red)) << side;
    }
    EXPECT_EQ(svg.pixmap(QSize(40, 24)).size(), QSize(24, 24));
    const QImage disabled = svg.pixmap(QSize(16, 16), QIcon::Disabled).toImage();
    EXPECT_EQ(disabled.size(), QSize(16, 16));
    EXPECT_NE(disabled.pixelColor(8, 8), QColor(Qt::red));

    EXPECT_TRUE(CCommandImages::SvgIconFromText("not a picture").isNull());

    const QImage bullets = CCommandImages::DrawnIcon(CCommandImages::Bullets).pixmap(32, 32).toImage();
    EXPECT_EQ(bullets.size(), QSize(32, 32));
    EXPECT_GT(bullets.pixelColor(6, 8).alpha(), 0);   // the first bullet (3, 4) at twice the size
    EXPECT_EQ(bullets.pixelColor(31, 31).alpha(), 0); // the corner stays clear
}
