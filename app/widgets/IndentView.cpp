#include "app/widgets/IndentView.h"

#include "app/widgets/MXTabForm.h"
#include "framework/ProjectItemBase.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourButton.h"
#include "ui/widgets/DataExchange.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The picture beside the edits: lines of text starting at the indents.
QPixmap IndentPicture(int lines)
{
    QPixmap picture(96, 12 + 10 * lines);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 2));
    const int starts[4] = {6, 30, 22, 14};
    for (int i = 0; i < lines; ++i)
        painter.drawLine(starts[i % 4], 8 + 10 * i, 90, 8 + 10 * i);
    return picture;
}

} // namespace

CIndentView::CIndentView(int templateId, std::vector<int> ids) : CTabFormChildView(templateId)
{
    auto* group = new QGroupBox(tr("Indent sizes"), this);
    SetControlId(group, 1570);
    auto* form = new QFormLayout(group);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto* edit = new QLineEdit(group);
        SetControlId(edit, ids[i]);
        auto* label = new QLabel(QString("&%1:").arg(i + 1), group);
        label->setBuddy(edit);
        form->addRow(label, edit);
        connect(edit, &QLineEdit::editingFinished, this, [this] { Store(); });
        m_edits.push_back(edit);
    }
    auto* picture = new CColourButton(this);
    SetControlId(picture, 1174);
    picture->SetColours(true, true, false, 0xFF0000, 0x808080, 0xFFFFFF);
    picture->SetPicture(IndentPicture(int(ids.size())));
    picture->setEnabled(false);
    auto* column = new QVBoxLayout;
    column->addWidget(group);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(column, 1);
    layout->addWidget(picture, 0, Qt::AlignTop);
}

void CIndentView::OnInitialUpdate() { Exchange(false); }

void CIndentView::Exchange(bool save)
{
    CProjectItemBase* item = GetItem();
    int* indents = GetIndents();
    if (!item || !indents)
        return;
    const MeasurementUnit& unit = MeasurementUnit::Preference();
    const int width = CMXTabForm::GetPrintableWidth(*item);
    CDataExchange dx(this, save);
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        DDX_MeasurementLenient(unit, &dx, m_edits[i], indents[i]);
        int minimum = 0, maximum = 0;
        GetBounds(int(i), indents, width, minimum, maximum);
        DDV_MeasurementClamp(unit, &dx, m_edits[i], indents[i], minimum, maximum);
    }
}

void CIndentView::Store()
{
    CProjectItemBase* item = GetItem();
    int* indents = GetIndents();
    if (!item || !indents)
        return;
    const std::vector<int> before(indents, indents + m_edits.size());
    Exchange(true);
    if (!std::equal(before.begin(), before.end(), indents))
        item->SetModified(true);
}

void CIndentView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (!IsFromForm(sender) || !IsThisPage(object))
        CTabFormChildView::OnUpdate(sender, hint, object);
    else if (hint == HINT_TAB_STORE || hint == HINT_TAB_HIDDEN)
        Store();
    else if (hint == HINT_TAB_SHOWN)
        Exchange(false);
}
