// Help/About: the program's picture, name and version, what it does, the
// maker and a link to the maker's web page.
#pragma once

#include "ui/widgets/PaletteDialog.h"

#include <vector>

class CColourButton;
class CColourSwatch;
class CStaticLink;

class CAboutBox : public CPaletteDialog {
    Q_OBJECT
public:
    static constexpr const char* kWebPage = "https://marlox.example.org/";

    explicit CAboutBox(QWidget* parent = nullptr);

    CColourSwatch* GetVersionSwatch() const { return m_version; }
    CStaticLink* GetLink() const { return m_link; }

private:
    CColourButton* m_picture;
    CColourSwatch* m_version;
    CStaticLink* m_link;
};

// The lines of the about box that say what the program does.
const std::vector<const char*>& AboutBoxFeatures();
// The version line of the about box and the splash window.
QString MarloxVersionText();
// The program's picture, drawn at the given size.
class QPixmap;
QPixmap MarloxPicture(int size);
