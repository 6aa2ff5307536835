// The program's pictures in its Qt resource: every SVG of app/icons is in
// it and draws, every item kind has both forms, and names stay inside.
#include "app/DesktopIntegration.h"
#include "app/ItemIconTexts.h"

#include <QDirIterator>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace fs = std::filesystem;

TEST(ItemIconTexts, EveryPictureOfTheRepositoryIsInTheResourceAndDraws)
{
    std::set<std::string> files, resources;
    for (const char* folder : {"items", "actions"})
        for (const auto& entry : fs::directory_iterator(fs::path(MARLOX_SOURCE_DIR) / "app" / "icons" / folder))
            if (entry.path().extension() == ".svg")
                files.insert(std::string(folder) + "/" + entry.path().filename().string());
    QDirIterator it(":/icons", QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.endsWith(".svg"))
            continue;
        QSvgRenderer renderer(path);
        EXPECT_TRUE(renderer.isValid()) << path.toStdString();
        EXPECT_EQ(renderer.defaultSize(), QSize(renderer.viewBox().size())) << path.toStdString();
        if (!path.startsWith(":/icons/filetypes/"))
            resources.insert(path.mid(QString(":/icons/").size()).toStdString());
    }
    EXPECT_EQ(resources, files);
    EXPECT_GE(files.size(), 18u);
}

TEST(ItemIconTexts, EveryKindHasItsPictureAndItsOpenForm)
{
    for (const char* kind : {"table", "equation", "library-equation", "transform", "linear-fit", "nonlinear-fit",
                             "graph", "notes", "stored"}) {
        for (bool open : {false, true}) {
            QSvgRenderer renderer(QString::fromStdString(ItemIconPath(kind, open)));
            EXPECT_TRUE(renderer.isValid()) << kind << open;
        }
        EXPECT_FALSE(FindItemIconText(kind).empty()) << kind;
    }
    for (const StoredItemKind& kind : GetStoredItemKinds())
        EXPECT_FALSE(FindItemIconText(kind.itemIcon).empty()) << kind.itemIcon;
}

TEST(ItemIconTexts, OnlyPlainNamesAreFound)
{
    EXPECT_FALSE(FindItemIconText("application-x-marlox-workspace").empty());
    for (const char* name : {"", "missing", "../items/table", "items/table", "table.svg", ":/icons/items/table"})
        EXPECT_TRUE(FindItemIconText(name).empty()) << name;
}
