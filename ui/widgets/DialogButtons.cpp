#include "ui/widgets/DialogButtons.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QDialogButtonBox>
#include <QPushButton>

bool SetCancelToClose(QWidget* dialog)
{
    for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>()) {
        if (QPushButton* cancel = box->button(QDialogButtonBox::Cancel)) {
            cancel->setText(QString::fromStdString(LoadString(IDS_CLOSE)));
            return true;
        }
    }
    return false;
}
