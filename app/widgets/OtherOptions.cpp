#include "app/widgets/OtherOptions.h"

#include "app/widgets/OptionsSheet.h"
#include "ui/widgets/DataExchange.h"

#include <QCheckBox>
#include <QVBoxLayout>

COtherOptions::COtherOptions(CPreferences& preferences, QWidget* parent)
    : CPreferencePage(tr("Options"), parent), m_largeIcons(preferences.GetLargeIcons() ? 1 : 0),
      m_preferences(preferences)
{
    auto* layout = new QVBoxLayout(this);
    m_box = new QCheckBox(tr("Use &large toolbar buttons"), this);
    layout->addWidget(m_box);
    layout->addStretch(1);
    connect(m_box, &QCheckBox::clicked, this, [this] { SetModified(); });
}

void COtherOptions::DoDataExchange(CDataExchange* pDX) { DDX_Check(pDX, m_box, m_largeIcons); }

bool COtherOptions::OnApply()
{
    m_preferences.SetLargeIcons(m_largeIcons != 0);
    if (Sheet())
        Sheet()->SetCancelToClose();
    return CPreferencePage::OnApply();
}
