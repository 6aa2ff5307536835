#include "app/widgets/FileProperties.h"

#include "app/widgets/GeneralPage.h"
#include "app/widgets/OptionsSheet.h"
#include "app/widgets/StatPage.h"
#include "app/widgets/SummPage.h"
#include "framework/ProjectDocBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <memory>

COptionsSheet* CreateFilePropertiesSheet(QWidget* parent, CProjectDocBase& document, UINT resourceId,
                                         const std::string& fileType)
{
    auto* sheet =
        new COptionsSheet(QString::fromStdString(FormatString(IDS_PROPERTIES_CAPTION, {document.GetTitle()})), parent);
    sheet->AddPage(new CGeneralPage(document, resourceId, fileType));
    const CSummaryInfo& info = document.GetSummaryInfo();
    auto* summary = new CSummPage;
    summary->m_title = info.GetTitle();
    summary->m_subject = info.GetSubject();
    summary->m_author = info.GetAuthor();
    summary->m_keywords = info.GetKeywords();
    summary->m_comments = info.GetComments();
    summary->m_template = info.GetTemplate();
    sheet->AddPage(summary);
    auto* stats = new CStatPage;
    stats->m_savedBy = info.GetLastAuthor();
    stats->m_revision = info.GetRevision();
    stats->m_editTime = info.GetEditingTime();
    stats->m_created = info.GetCreated();
    stats->m_saved = info.GetSaved();
    sheet->AddPage(stats);
    return sheet;
}

void StoreFileProperties(COptionsSheet& sheet, CProjectDocBase& document)
{
    for (int i = 0; i < sheet.PageCount(); ++i) {
        auto* summary = dynamic_cast<CSummPage*>(sheet.Page(i));
        if (!summary)
            continue;
        CSummaryInfo& info = document.GetSummaryInfo();
        info.SetAuthor(summary->m_author);
        info.SetKeywords(summary->m_keywords);
        info.SetSubject(summary->m_subject);
        info.SetComments(summary->m_comments);
        info.SetTitle(summary->m_title);
        document.SetModifiedFlag(true);
    }
}

bool ShowFileProperties(QWidget* parent, CProjectDocBase& document, UINT resourceId, const std::string& fileType)
{
    std::unique_ptr<COptionsSheet> sheet(CreateFilePropertiesSheet(parent, document, resourceId, fileType));
    if (sheet->exec() != QDialog::Accepted)
        return false;
    StoreFileProperties(*sheet, document);
    return true;
}
