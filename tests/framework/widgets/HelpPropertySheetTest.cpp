#include "framework/widgets/HelpPropertySheet.h"

#include "ui/widgets/WidgetTestSupport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

TEST(HelpPropertySheetTest, NoHelpButtonButTheTitleBarQuestionMark)
{
    CHelpPropertySheet sheet(QString("Options"));
    auto* general = new QLabel("general");
    general->setWindowTitle("General");
    sheet.AddPage(general);
    sheet.AddPage(new QLabel("folders"), "Folders");
    EXPECT_EQ(sheet.GetPageCount(), 2);
    EXPECT_FALSE(sheet.HasHelpButton());
    EXPECT_TRUE(sheet.windowFlags() & Qt::WindowContextHelpButtonHint);
    EXPECT_EQ(sheet.GetTabs()->tabText(0), "General");
    EXPECT_EQ(sheet.GetTabs()->tabText(1), "Folders");
    EXPECT_EQ(sheet.windowTitle(), "Options");

    int applied = 0;
    QObject::connect(&sheet, &CHelpPropertySheet::applied, [&] { ++applied; });
    QTimer::singleShot(0, [&] { sheet.GetButtons()->button(QDialogButtonBox::Ok)->click(); });
    EXPECT_EQ(sheet.exec(), QDialog::Accepted);
    EXPECT_EQ(applied, 1);
}
