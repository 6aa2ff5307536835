#include "framework/widgets/HeaderFieldButton.h"

#include "framework/HeaderField.h"

#include <QLineEdit>
#include <QMenu>

CHeaderFieldButton::CHeaderFieldButton(QWidget* parent) : QToolButton(parent)
{
    setText(QStringLiteral("\u25B8"));
    setToolTip(tr("Insert a field"));
    setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(this);
    for (const HeaderFieldMenuEntry& entry : kHeaderFieldMenu) {
        if (entry.commandId == 43012)
            menu->addSeparator();
        QAction* action = menu->addAction(QString::fromLatin1(entry.text));
        action->setData(entry.commandId);
        connect(action, &QAction::triggered, this, [this, id = entry.commandId] { InsertField(id); });
    }
    setMenu(menu);
}

bool CHeaderFieldButton::InsertField(unsigned commandId)
{
    if (!m_edit)
        return false;
    for (const HeaderFieldMenuEntry& entry : kHeaderFieldMenu) {
        if (entry.commandId == commandId) {
            m_edit->insert(QString::fromLatin1(entry.code));
            m_edit->setFocus();
            return true;
        }
    }
    return false;
}
