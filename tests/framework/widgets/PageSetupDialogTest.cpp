#include "framework/ProjectItemBase.h"
#include "framework/widgets/HeaderFieldButton.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "framework/widgets/MeasurementEdit.h"
#include "framework/widgets/PrinterWindows.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QRadioButton>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QApplication& TestApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    return *static_cast<QApplication*>(QApplication::instance());
}

class CountingItem : public CProjectItemBase {
public:
    void NotifyChanged() override { ++notices; }
    int notices = 0;
};

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

bool HasLabel(QWidget& dialog, const QString& text)
{
    for (QLabel* l : dialog.findChildren<QLabel*>())
        if (l->text() == text)
            return true;
    return false;
}

// Whether any pixel in the rectangle is dark.
bool Inked(const QImage& image, QRect r)
{
    r = r.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

} // namespace

TEST(PageSetupDialogTest, ShowsTheItemsSettings)
{
    TestApp();
    CountingItem item;
    item.m_nHeaderDistance = 300;
    CHeaderFooterSetupDialog dialog(nullptr, false);
    dialog.LoadFrom(item);
    EXPECT_EQ(dialog.windowTitle(), "Page Setup");
    EXPECT_TRUE(HasLabel(dialog, "&Header:"));
    EXPECT_TRUE(HasLabel(dialog, "&Footer:"));
    EXPECT_EQ(dialog.GetFontButton()->text(), "Header Fo&nts...");
    EXPECT_EQ(dialog.GetHeaderEdit()->text(), "&F [&I]");
    EXPECT_EQ(dialog.GetFooterEdit()->text(), "Page &P");
    EXPECT_EQ(dialog.GetHeaderDistanceEdit()->text(), "0.3\"");
    EXPECT_EQ(dialog.GetMarginEdit(0)->text(), "1\"");
    EXPECT_STREQ(dialog.m_lfHeaderFooter.lfFaceName, "Times New Roman");
    EXPECT_EQ(dialog.m_nHeaderFooterSize, 100);
    dialog.show();
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
    EXPECT_FALSE(dialog.isVisible());
}

TEST(PageSetupDialogTest, MetricLengthsComeBackAsTheyWere)
{
    TestApp();
    CountingItem item;
    item.m_nHeaderDistance = 250;
    item.m_nFooterDistance = 333;
    item.m_rcMargins = RECT{1000, 750, 1250, 500};
    CHeaderFooterSetupDialog dialog(nullptr, true);
    dialog.LoadFrom(item);
    EXPECT_EQ(dialog.GetHeaderDistanceEdit()->text(), "6.35mm");
    EXPECT_EQ(dialog.GetMarginEdit(0)->text(), "25.4mm");
    // Typing the shown text again changes nothing either.
    dialog.GetHeaderDistanceEdit()->setText("");
    Type(dialog.GetHeaderDistanceEdit(), "6.35mm");
    CountingItem out;
    dialog.StoreTo(out);
    EXPECT_EQ(out.m_nHeaderDistance, 250); // not 249
    EXPECT_EQ(out.m_nFooterDistance, 333);
    EXPECT_EQ(out.m_rcMargins, (RECT{1000, 750, 1250, 500}));
}

TEST(PageSetupDialogTest, FieldButtonsInsertCodes)
{
    TestApp();
    CHeaderFooterSetupDialog dialog(nullptr, false);
    dialog.GetHeaderEdit()->setText("Page  of ");
    dialog.GetHeaderEdit()->setCursorPosition(5);
    ASSERT_TRUE(dialog.GetHeaderFieldButton()->InsertField(43008)); // Page Number
    dialog.GetHeaderEdit()->end(false);
    dialog.GetHeaderFieldButton()->InsertField(43009); // Number of Pages
    EXPECT_EQ(dialog.GetHeaderEdit()->text(), "Page &P of &N");
    dialog.GetFooterEdit()->setText("replace me");
    dialog.GetFooterEdit()->selectAll();
    dialog.GetFooterFieldButton()->InsertField(43014); // Right Align replaces the selection
    EXPECT_EQ(dialog.GetFooterEdit()->text(), "&R");
    EXPECT_FALSE(dialog.GetFooterFieldButton()->InsertField(43015));

    QStringList entries;
    for (QAction* a : dialog.GetHeaderFieldButton()->menu()->actions())
        entries << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(entries, (QStringList{"File Name", "File Location", "Item Name", "Item Type", "Page Number",
                                    "Number of Pages", "Current Time", "Current Date", "-", "Left Align", "Center",
                                    "Right Align"}));
}

TEST(PageSetupDialogTest, DistanceEditsTakeOnlyNumbersAndStayInsideTheMargins)
{
    TestApp();
    RecordingReporter reporter;
    CountingItem item;
    CHeaderFooterSetupDialog dialog(nullptr, false);
    dialog.LoadFrom(item);
    CMeasurementEdit* header = dialog.GetHeaderDistanceEdit();
    header->setText("");
    Type(header, "0.5x");
    EXPECT_EQ(header->text(), "0.5");
    EXPECT_EQ(reporter.beeps, 1);
    EXPECT_EQ(header->GetThousandths(), 500);
    Type(header, "\"");
    EXPECT_EQ(header->text(), "0.5\"");
    // Above the top margin it is held at the margin.
    header->setText("");
    Type(header, "3");
    EXPECT_EQ(header->GetThousandths(), 1000);
    // Lowering the top margin lowers the distance with it.
    CMeasurementEdit* top = dialog.GetMarginEdit(1);
    top->setText("");
    Type(top, "0.4");
    EXPECT_EQ(header->GetThousandths(), 1000); // not at each keystroke
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(top, &enter);
    EXPECT_EQ(header->GetThousandths(), 400);
    EXPECT_EQ(header->text(), "0.4\"");
}

TEST(PageSetupDialogTest, MarginsAsLargeAsThePaperAreRefused)
{
    TestApp();
    RecordingReporter reporter;
    CountingItem item;
    CHeaderFooterSetupDialog dialog(nullptr, false);
    dialog.LoadFrom(item);
    const SIZE paper = dialog.GetPaperSize();
    ASSERT_GT(paper.cx, 2000);
    struct Case {
        int side;      // the margin changed
        double inches; // its new value
        bool accepted;
    } cases[] = {
        {0, 196.85, false},                       // a 5000 mm left margin
        {2, paper.cx / 1000.0 - 1.0, false},      // right + the 1" left reach the width
        {3, paper.cy / 1000.0 - 1.0, false},      // bottom + the 1" top reach the height
        {2, paper.cx / 1000.0 - 1.5, true},       // half an inch to print on
    };
    for (const Case& c : cases) {
        dialog.LoadFrom(item);
        dialog.setResult(0);
        dialog.GetMarginEdit(c.side)->SetInches(c.inches);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.side << " " << c.inches;
    }
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{8610, 8610, 8610}));
}

TEST(PageSetupDialogTest, OkStoresIntoTheItemAndCancelLeavesIt)
{
    TestApp();
    CountingItem item;
    item.ClearModified();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CHeaderFooterSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->GetFooterEdit()->setText("&P of &N");
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_FALSE(OnFilePageSetup(item));
    EXPECT_EQ(item.m_strFooter, "Page &P");
    EXPECT_FALSE(item.IsModified());
    QPageLayout printer(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(), QPageLayout::Point,
                        QMarginsF(18, 18, 18, 18)); // a quarter-inch border the printer cannot reach
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CHeaderFooterSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetPageSize().id(), QPageSize::A4);
        dialog->GetFooterEdit()->setText("&P of &N");
        dialog->GetHeaderDistanceEdit()->SetInches(0.1); // raised to the printer's minimum
        dialog->findChild<QRadioButton*>("landscape")->setChecked(true);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_TRUE(OnFilePageSetup(item, nullptr, &printer));
    EXPECT_EQ(item.m_strFooter, "&P of &N");
    EXPECT_EQ(item.m_nHeaderDistance, 250);
    EXPECT_EQ(item.m_nOrientation, 2);
    EXPECT_EQ(printer.orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(item.IsModified());
    EXPECT_EQ(item.notices, 1);
}

namespace {

// A window that lays out pages: counts the printer notices it hears.
class PrinterListener : public QWidget {
public:
    PrinterListener() { CPrinterWindows::Add(this); }
    ~PrinterListener() override { CPrinterWindows::Remove(this); }
    int heard = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == CPrinterWindows::ChangedEvent()) {
            ++heard;
            return true;
        }
        return QWidget::event(e);
    }
};

// Answers the page setup dialog: landscape or portrait, another paper or not.
void AnswerPageSetup(bool landscape, const char* paper)
{
    QTimer::singleShot(0, [landscape, paper] {
        auto* dialog = qobject_cast<CHeaderFooterSetupDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QRadioButton*>(landscape ? "landscape" : "portrait")->setChecked(true);
        if (paper)
            for (QComboBox* box : dialog->findChildren<QComboBox*>())
                if (int i = box->findText(paper, Qt::MatchStartsWith); i >= 0)
                    box->setCurrentIndex(i);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

} // namespace

// "MarloxPrinterChanged": a new orientation or paper in Page Setup reaches
// every listed window once; a setup that changes neither tells nobody.
TEST(PrinterWindowsTest, APrinterChangeReachesEachListedWindowOnce)
{
    TestApp();
    EXPECT_STREQ(CPrinterWindows::kMessageName, "MarloxPrinterChanged");
    EXPECT_EQ(CPrinterWindows::ChangedEvent(), CPrinterWindows::ChangedEvent()); // one type, program-wide
    EXPECT_GE(int(CPrinterWindows::ChangedEvent()), int(QEvent::User));
    CountingItem item;
    QPageLayout printer(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    auto listener = std::make_unique<PrinterListener>();
    PrinterListener other;
    CPrinterWindows::Add(&other); // listed once, however often it is added
    struct Case {
        bool landscape;
        const char* paper;
        int heard; // notices so far
    } cases[] = {
        {true, nullptr, 1},     // portrait to landscape
        {true, nullptr, 1},     // unchanged
        {true, "Letter", 2},    // another paper
        {false, nullptr, 3},    // back to portrait
    };
    for (const Case& c : cases) {
        AnswerPageSetup(c.landscape, c.paper);
        ASSERT_TRUE(OnFilePageSetup(item, nullptr, &printer));
        EXPECT_EQ(listener->heard, c.heard) << c.landscape << " " << (c.paper ? c.paper : "");
        EXPECT_EQ(other.heard, c.heard);
    }
    EXPECT_EQ(printer.pageSize().id(), QPageSize::Letter);
    // A destroyed window is no longer told.
    listener.reset();
    EXPECT_EQ(CPrinterWindows::NotifyPrinterChanged(), 1);
    EXPECT_EQ(other.heard, 4);
}

TEST(HeaderFooterPainterTest, LinesStandAtTheirDistancesAndAlignments)
{
    TestApp();
    CountingItem item;
    item.m_strHeader = "&LLEFT HEADER";
    item.m_strFooter = "&RRIGHT FOOTER";
    item.m_nHeaderFooterSize = 240; // 24 pt: a third of an inch
    std::strcpy(item.m_lfHeaderFooter.lfFaceName, "DejaVu Sans");
    // Letter paper at 50 dots per inch: 425 x 550, one dot is 20 thousandths.
    QImage page(425, 550, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        p.scale(0.05, 0.05);
        PrintHeaderFooter(p, item, SIZE{8500, 11000}, 3, 7);
    }
    // The header's top is 300 below the paper's top (dot 15), from the left margin (dot 50).
    EXPECT_TRUE(Inked(page, QRect(50, 15, 120, 18)));
    EXPECT_FALSE(Inked(page, QRect(0, 0, 425, 14)));
    EXPECT_FALSE(Inked(page, QRect(0, 0, 49, 550)));
    EXPECT_FALSE(Inked(page, QRect(250, 0, 175, 60))); // left-aligned: nothing on the right
    // The footer's bottom is 300 above the paper's bottom (dot 535), ending at the right margin (dot 375).
    EXPECT_TRUE(Inked(page, QRect(255, 515, 120, 20)));
    EXPECT_FALSE(Inked(page, QRect(0, 536, 425, 14)));
    EXPECT_FALSE(Inked(page, QRect(377, 0, 48, 550)));
    EXPECT_FALSE(Inked(page, QRect(0, 480, 200, 70)));
}

TEST(HeaderFooterPainterTest, FontsTravelBetweenLogFontAndQt)
{
    TestApp();
    LOGFONT lf;
    std::strcpy(lf.lfFaceName, "Times New Roman");
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    QFont f = FontFromLogFont(lf, 120);
    EXPECT_EQ(f.pointSizeF(), 12.0);
    EXPECT_TRUE(f.italic());
    EXPECT_EQ(f.weight(), QFont::Bold);
    LOGFONT back;
    int size = 0;
    LogFontFromFont(f, back, size);
    EXPECT_EQ(size, 120);
    EXPECT_STREQ(back.lfFaceName, "Times New Roman");
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_EQ(HeaderFooterFont(lf, 100).pixelSize(), 138); // 10 pt in thousandths of an inch
}

TEST(HeaderFooterPainterTest, TimeAndDateFollowTheLocale)
{
    TestApp();
    InstallLocaleHeaderFormatters();
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 10;
    t.wHour = 14;
    t.wMinute = 5;
    t.wSecond = 30;
    std::string time = FormatHeaderTime(t);
    std::string date = FormatHeaderDate(t);
    SetHeaderTimeFormatters(nullptr, nullptr);
    // The test machine's locale decides the forms: the minutes without the seconds, and the year.
    EXPECT_EQ(time.find("30"), std::string::npos);
    EXPECT_NE(time.find("05"), std::string::npos);
    EXPECT_NE(date.find("2026"), std::string::npos);
}
