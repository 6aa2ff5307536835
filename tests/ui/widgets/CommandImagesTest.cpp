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
