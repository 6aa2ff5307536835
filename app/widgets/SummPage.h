// The "Summary" page of File/Properties: the workspace's descriptive texts.
#pragma once

#include "app/widgets/PreferencePage.h"

#include <string>

class QLineEdit;
class QPlainTextEdit;

class CSummPage : public CPreferencePage {
    Q_OBJECT
public:
    explicit CSummPage(QWidget* parent = nullptr);

    std::string m_author, m_keywords, m_comments, m_title, m_subject, m_template;

    QLineEdit* Edit(int controlId) const;
    QPlainTextEdit* CommentsEdit() const { return m_comments_edit; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    QLineEdit* m_title_edit;
    QLineEdit* m_subject_edit;
    QLineEdit* m_author_edit;
    QLineEdit* m_keywords_edit;
    QPlainTextEdit* m_comments_edit;
    QLineEdit* m_template_edit;
};
