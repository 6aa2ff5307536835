#include "app/widgets/SummPage.h"

#include "ui/widgets/DataExchange.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

CSummPage::CSummPage(QWidget* parent) : CPreferencePage(tr("Summary"), parent)
{
    auto* form = new QFormLayout(this);
    auto make = [this](int id) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::number(id));
        connect(edit, &QLineEdit::textEdited, this, [this] { SetModified(); });
        return edit;
    };
    m_title_edit = make(108);
    m_subject_edit = make(109);
    m_author_edit = make(105);
    m_keywords_edit = make(106);
    m_comments_edit = new QPlainTextEdit(this);
    m_comments_edit->setObjectName("107");
    connect(m_comments_edit, &QPlainTextEdit::textChanged, this, [this] { SetModified(); });
    m_template_edit = make(110);
    // The template a workspace was made from is a fact, not an editable text.
    m_template_edit->setReadOnly(true);
    form->addRow(tr("&Title:"), m_title_edit);
    form->addRow(tr("&Subject:"), m_subject_edit);
    form->addRow(tr("&Author:"), m_author_edit);
    form->addRow(tr("&Keywords:"), m_keywords_edit);
    form->addRow(tr("&Comments:"), m_comments_edit);
    form->addRow(tr("Template:"), m_template_edit);
}

QLineEdit* CSummPage::Edit(int controlId) const
{
    switch (controlId) {
    case 105: return m_author_edit;
    case 106: return m_keywords_edit;
    case 108: return m_title_edit;
    case 109: return m_subject_edit;
    case 110: return m_template_edit;
    default: return nullptr;
    }
}

void CSummPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, m_author_edit, m_author);
    DDX_Text(pDX, m_keywords_edit, m_keywords);
    if (pDX->m_bSaveAndValidate)
        m_comments = m_comments_edit->toPlainText().toStdString();
    else if (m_comments_edit->toPlainText().toStdString() != m_comments)
        m_comments_edit->setPlainText(QString::fromStdString(m_comments));
    DDX_Text(pDX, m_title_edit, m_title);
    DDX_Text(pDX, m_subject_edit, m_subject);
    DDX_Text(pDX, m_template_edit, m_template);
}
