#include "framework/widgets/HelpPropertySheet.h"

#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

int g_nHelpStyle = 1;

CHelpPropertySheet::CHelpPropertySheet(UINT captionId, QWidget* parent, int selectPage) : QDialog(parent)
{
    Init(QString::fromStdString(LoadString(captionId)), selectPage);
}

CHelpPropertySheet::CHelpPropertySheet(const QString& caption, QWidget* parent, int selectPage) : QDialog(parent)
{
    Init(caption, selectPage);
}

void CHelpPropertySheet::Init(const QString& caption, int selectPage)
{
    setWindowTitle(caption);
    m_nSelectPage = selectPage;
    m_tabs = new QTabWidget(this);
    m_tabs->setUsesScrollButtons(m_bStacked == 0);
    QDialogButtonBox::StandardButtons buttons = QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply;
    if (!g_nHelpStyle)
        buttons |= QDialogButtonBox::Help;
    m_buttons = new QDialogButtonBox(buttons, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    if (g_nHelpStyle)
        setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        emit applied();
        accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { emit applied(); });
}

void CHelpPropertySheet::AddPage(QWidget* page, const QString& title)
{
    // Pages bring no Help button of their own: the sheet's help style covers them.
    m_tabs->addTab(page, title.isEmpty() ? page->windowTitle() : title);
}

int CHelpPropertySheet::GetPageCount() const { return m_tabs->count(); }
QWidget* CHelpPropertySheet::GetPage(int index) const { return m_tabs->widget(index); }
int CHelpPropertySheet::GetActiveIndex() const { return m_tabs->currentIndex(); }
void CHelpPropertySheet::SetActivePage(int index) { m_tabs->setCurrentIndex(index); }
bool CHelpPropertySheet::HasHelpButton() const { return m_buttons->button(QDialogButtonBox::Help) != nullptr; }

void CHelpPropertySheet::showEvent(QShowEvent* event)
{
    if (m_nSelectPage > 0 && m_nSelectPage < m_tabs->count()) {
        m_tabs->setCurrentIndex(m_nSelectPage);
        m_nSelectPage = 0;
    }
    QDialog::showEvent(event);
}
