// The base of the about box and the splash window. Displays with a colour
// palette are gone; what remains is repainting when the palette (the system's
// colours) changes, so that pictures mapped to system colours follow.
#pragma once

#include <QDialog>

class CPaletteDialog : public QDialog {
    Q_OBJECT
public:
    explicit CPaletteDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

protected:
    void changeEvent(QEvent* event) override;
};
