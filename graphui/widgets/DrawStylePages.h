// The style pages of drawing objects: Fill, Polygon, Line, Arrows, Font,
// Paragraph, Rotation and Location. Each page works on the view's whole
// selection: it reads the setting from every selected object that has it,
// shows a value on which they differ as undetermined, and on Apply writes
// back only what is determined or was changed.
#pragma once

#include "draw/DrawObj.h"
#include "ui/ColourValue.h"

#include <QWidget>

#include <string>
#include <vector>

class CColourCombo;
class CDrawView;
class CFontNameCombo;
class CFontSizeCombo;
class CFontStyleCombo;
class CHelpPropertySheet;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// The page bits of a properties sheet.
enum DrawStyleMask : int {
    STYLE_FILL = 1,
    STYLE_POLYGON = 2,
    STYLE_LINE = 4,
    STYLE_ARROWS = 8,
    STYLE_FONT = 16,
    STYLE_PARAGRAPH = 32,
    STYLE_ROTATION = 64,
    STYLE_LOCATION = 128,
};

class CDrawStylePage : public QWidget {
    Q_OBJECT
public:
    explicit CDrawStylePage(CDrawView* view, QWidget* parent = nullptr);
    // Whether the selection has the setting at all (the sheet leaves the page out otherwise).
    virtual bool Applies() const = 0;
    // Writes the page back; false keeps the sheet open (a value was refused).
    virtual bool OnApply() = 0;
    bool IsModified() const { return m_bModified; }
    void SetModified(bool on = true) { m_bModified = on; }

protected:
    const std::vector<CDrawObj*>& Selection() const;
    void InvalidateSelection() const;
    CDrawView* m_pView;
    bool m_bModified = false;
};

class CFillStylePage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CFillStylePage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    QCheckBox* FillBox() const { return m_fill; }
    CColourCombo* ColourCombo() const { return m_colour; }

private:
    bool m_bAny = false;
    QCheckBox* m_fill;
    CColourCombo* m_colour;
};

class CPolygonStylePage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CPolygonStylePage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    QCheckBox* JoinBox() const { return m_join; }

private:
    bool m_bAny = false;
    QCheckBox* m_join;
};

class CLineStylePage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CLineStylePage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    QLineEdit* WidthEdit() const { return m_width; }
    QComboBox* StyleCombo() const { return m_style; }
    CColourCombo* ColourCombo() const { return m_colour; }

private:
    bool m_bAny = false;
    QLineEdit* m_width;
    QComboBox* m_style;
    CColourCombo* m_colour;
};

class CArrowStylePage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CArrowStylePage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    QComboBox* StartCombo() const { return m_start; }
    QComboBox* EndCombo() const { return m_end; }
    QComboBox* SizeCombo() const { return m_size; }
    QComboBox* WidthCombo() const { return m_width; }

private:
    bool m_bAny = false;
    QComboBox* m_start;
    QComboBox* m_end;
    QComboBox* m_size;
    QComboBox* m_width;
};

class CDrawFontPage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CDrawFontPage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    // The character format OnApply gives the objects.
    CHARFORMAT BuildFormat() const;
    CFontNameCombo* FaceCombo() const { return m_face; }
    CFontStyleCombo* StyleCombo() const { return m_styleCombo; }
    CFontSizeCombo* SizeCombo() const { return m_sizeCombo; }
    QCheckBox* UnderlineBox() const { return m_underline; }
    QCheckBox* StrikeoutBox() const { return m_strikeout; }
    QCheckBox* SuperscriptBox() const { return m_super; }
    QCheckBox* SubscriptBox() const { return m_sub; }
    QSpinBox* OffsetEdit() const { return m_offset; }
    CColourCombo* ColourCombo() const { return m_colour; }

private:
    bool m_bAny = false;
    CHARFORMAT m_format;
    DWORD m_changed = 0;
    LOGFONT m_font{};
    int m_size = -1;
    ColourValue m_textColour;
    CFontNameCombo* m_face;
    CFontStyleCombo* m_styleCombo;
    CFontSizeCombo* m_sizeCombo;
    QCheckBox* m_underline;
    QCheckBox* m_strikeout;
    QCheckBox* m_super;
    QCheckBox* m_sub;
    QSpinBox* m_offset;
    CColourCombo* m_colour;
};

class CParaStylePage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CParaStylePage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return m_bAny; }
    bool OnApply() override;
    QComboBox* AlignmentCombo() const { return m_alignment; }
    QCheckBox* BulletsBox() const { return m_bullets; }

private:
    bool m_bAny = false;
    DWORD m_changed = 0;
    QComboBox* m_alignment;
    QCheckBox* m_bullets;
};

class CRotationPage : public CDrawStylePage {
    Q_OBJECT
public:
    explicit CRotationPage(CDrawView* view, QWidget* parent = nullptr);
    bool Applies() const override { return true; }
    bool OnApply() override;
    QRadioButton* RelativeButton() const { return m_relative; }
    QRadioButton* AbsoluteButton() const { return m_absolute; }
    QLineEdit* DegreesEdit() const { return m_degrees; }
    QLabel* StatusText() const { return m_status; }

private:
    QRadioButton* m_relative;
    QRadioButton* m_absolute;
    QLineEdit* m_degrees;
    QLabel* m_status;
};

class CLocationPage : public CDrawStylePage {
    Q_OBJECT
public:
    CLocationPage(CDrawView* view, bool inGroup, QWidget* parent = nullptr);
    bool Applies() const override { return m_pObject != nullptr; }
    bool OnApply() override;
    QLineEdit* LeftEdit() const { return m_left; }
    QLineEdit* TopEdit() const { return m_top; }
    QLineEdit* WidthEdit() const { return m_width; }
    QLineEdit* HeightEdit() const { return m_height; }
    QComboBox* RelativeCombo() const { return m_relative; }
    QCheckBox* AspectBox() const { return m_aspect; }

private:
    void ShowValues();
    POINT Origin() const;

    CDrawObj* m_pObject = nullptr;
    RECT m_rect{};
    QLineEdit* m_left;
    QLineEdit* m_top;
    QLineEdit* m_width;
    QLineEdit* m_height;
    QComboBox* m_relative;
    QCheckBox* m_aspect;
    bool m_bUpdating = false;
};

// The sheet of the pages of the mask that apply to the view's selection;
// Apply and OK write every changed page back. The caller runs and deletes it.
CHelpPropertySheet* BuildDrawStyleSheet(CDrawView* view, const std::string& title, int mask);
// Adds those pages to a sheet of another kind (a graph's or a dataset's),
// with the same writing back; the number of pages added.
int AddDrawStylePages(CHelpPropertySheet* sheet, CDrawView* view, int mask);
