#include "app/widgets/TipDlg.h"

#include "app/TipFile.h"
#include "ui/widgets/ColourSwatch.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

// The picture strip on the tip's left: white, a light bulb, and the button
// face below it.
class CTipDlg::Picture : public QWidget {
public:
    explicit Picture(QWidget* parent) : QWidget(parent) { setFixedWidth(56); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.setRenderHint(QPainter::Antialiasing);
        // The bulb.
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
        p.setBrush(QColor(0xFF, 0xE0, 0x60));
        p.drawEllipse(QRectF(14, 10, 28, 28));
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(QRectF(21, 37, 14, 9));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(QRect(0, 52, width(), height() - 52), palette().color(QPalette::Button));
    }
};

QString CTipDlg::DefaultTipsPath()
{
    return QString::fromStdString(CTipFile::PathForProgram(QCoreApplication::applicationFilePath().toStdString()));
}

CTipDlg::CTipDlg(QWidget* parent, const QString& tipsPath) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Tip of the Day"));
    m_tips = std::make_unique<CTipFile>((tipsPath.isEmpty() ? DefaultTipsPath() : tipsPath).toStdString());

    auto* panel = new QWidget(this);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    m_heading = new CColourSwatch(QStringLiteral("Did you know..."), panel);
    m_tip = new QLabel(panel);
    m_tip->setWordWrap(true);
    m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tip->setTextFormat(Qt::PlainText);
    m_tip->setMinimumSize(320, 110);
    auto* text = new QVBoxLayout;
    text->addWidget(m_heading);
    text->addWidget(m_tip, 1);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 8, 8);
    row->addWidget(new Picture(panel));
    row->addLayout(text, 1);

    m_startup = new QCheckBox(QStringLiteral("&Show tips at start up"), this);
    m_startup->setChecked(m_tips->GetShowAtStartup());
    m_next = new QPushButton(QStringLiteral("&Next Tip"), this);
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setDefault(true);
    connect(m_next, &QPushButton::clicked, this, &CTipDlg::GetNextTip);
    connect(close, &QPushButton::clicked, this, &CTipDlg::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startup);
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);

    m_heading->AutoLoad(true, true);
    m_next->setEnabled(m_tips->HasTips());
    m_tip->setText(QString::fromStdString(m_tips->GetTip()));
}

CTipDlg::~CTipDlg() = default;

void CTipDlg::GetNextTip()
{
    m_tips->GetNextTip();
    m_tip->setText(QString::fromStdString(m_tips->GetTip()));
    m_next->setEnabled(m_tips->HasTips());
}

bool CTipDlg::GetShowAtStartup() const { return m_startup->isChecked(); }

QString CTipDlg::GetTipText() const { return m_tip->text(); }

void CTipDlg::accept()
{
    m_tips->SetShowAtStartup(m_startup->isChecked());
    m_tips->SaveShowAtStartup();
    QDialog::accept();
}
