#include "ui/widgets/PaletteDialog.h"

#include <QEvent>

CPaletteDialog::CPaletteDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void CPaletteDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        update();
    QDialog::changeEvent(event);
}
