#include "app/widgets/AboutBox.h"

#include "app/DesktopIntegration.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/ColourButton.h"
#include "ui/widgets/ColourSwatch.h"
#include "ui/widgets/StaticLink.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QString MarloxVersionText() { return QStringLiteral("Version 4.0"); }

// What this build does, and nothing it does not: keep in step with the
// README's "What it does not do".
const std::vector<const char*>& AboutBoxFeatures()
{
    static const std::vector<const char*> features = {
        "Data tables with calculated columns, undo and redo",
        "Equations in its own language, and equation libraries",
        "Weighted linear and non-linear (Marquardt) fits, run in the background, and the F test",
        "XY graphs of data, fitted and equation curves, and histograms, on printable pages",
        "Notes with fonts, sizes and colours",
        "Workspaces, templates and stored items; version-3 data and equation files are read",
        "Data in and out through data filters",
    };
    return features;
}

QPixmap MarloxPicture(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QByteArray::fromStdString(ApplicationIconText()));
    QPainter p(&pixmap);
    renderer.render(&p);
    return pixmap;
}

CAboutBox::CAboutBox(QWidget* parent) : CPaletteDialog(parent)
{
    setWindowTitle(QString("About %1").arg(QString::fromStdString(GetAppName())));
    m_picture = new CColourButton(this);
    m_picture->SetColours(true, false, false, 65535, 0x808080, 0xFFFFFF);
    m_picture->SetPicture(MarloxPicture(64));
    m_picture->setFocusPolicy(Qt::NoFocus);

    auto* name = new CColourSwatch(QString::fromStdString(GetAppName()), this);
    m_version = new CColourSwatch(MarloxVersionText(), this);
    QString list;
    for (const char* line : AboutBoxFeatures())
        list += QStringLiteral("<li>%1</li>").arg(QString::fromUtf8(line).toHtmlEscaped());
    auto* blurb = new QLabel(QStringLiteral("<ul style=\"margin-left: 0px; -qt-list-indent: 1\">%1</ul>").arg(list), this);
    blurb->setObjectName(QStringLiteral("features"));
    blurb->setTextFormat(Qt::RichText);
    blurb->setWordWrap(true);
    auto* maker =
        new QLabel(QStringLiteral("Copyright \u00A9 %1").arg(QString::fromStdString(LoadString(IDS_MAKER_NAME))), this);
    m_link = new CStaticLink(QString::fromLatin1(kWebPage), this);
    m_link->setText(QString::fromLatin1(kWebPage));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_picture, 0, 0, 4, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(m_version, 1, 1);
    layout->addWidget(blurb, 2, 1);
    layout->addWidget(maker, 3, 1);
    layout->addWidget(m_link, 4, 1);
    layout->addWidget(buttons, 5, 0, 1, 2);
    name->AutoLoad(true, true);
    m_version->AutoLoad(false, false);
}
