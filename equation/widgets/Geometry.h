// Resizable layout of tab pages. A page is created as its wrapper
// CGeometry<Page>, which lets controls of the page follow the page's size:
// when the page grows, marked controls move, grow, stay centred or scale in
// proportion. Which controls do what is read from invisible marker controls
// of the page (a hidden group box or check box whose text begins
// "$Geometry:"): every control that lies wholly inside a marker follows the
// marker's rules. Controls that a Qt layout manages need no markers; a page
// without markers keeps its controls where it puts them.
//
// Marker text after "$Geometry:" is a list of tokens joined by "+":
//   CX, CY     grow by the width (height) change, CX[f] by f times it;
//   X, Y       move right (down) by the change, X[f] by f times it;
//   x, y       stay centred horizontally (vertically);
//   M prefix   in proportion to the page: MX the left edge, MCX the width.
// Centring wins over growing and moving in its direction; proportional
// placement wins over centring. A C token other than CX or CY ends the text.
#pragma once

#include "equation/widgets/GeometryRules.h"

#include <QPointer>
#include <QRect>
#include <QResizeEvent>
#include <QWidget>

#include <memory>
#include <vector>

// One controlled child of a page.
struct CGeometryControl {
    int id = 0;
    QRect design;            // the control's rectangle when the page was set up
    CGeometrySpec rules;
    QPointer<QWidget> control;
};

// The place of a control for a client size, from its design rectangle and
// the design client size, clamped so that it never moves left of or above
// its design place and never shrinks.
QRect LayOutControl(const CGeometryControl& control, QSize designClient, QSize client);

class CGeometryLayout {
public:
    // The page is set up: its client rectangle becomes the design and the
    // current one, and the controls inside markers are collected.
    void Initialise(QWidget* page);
    // A record for the control (its rectangle read from the control when a
    // parent is given); a control already listed takes the new rules only.
    bool SetControlSpec(int id, const CGeometrySpec& rules, QWidget* parent);
    void RemoveControlSpec(int id);
    // The page was resized.
    void OnSize(QWidget* page, QSize size);
    // Lays every record out for a client size.
    void LayOutAll(QSize client);

    const std::vector<std::unique_ptr<CGeometryControl>>& GetControls() const { return m_controls; }
    QRect GetDesignClient() const { return m_design; }
    QRect GetCurrentClient() const { return m_current; }

    // Whether a child of a page is a marker, and the rules it gives.
    static bool IsMarker(const QWidget* child);
    static QString MarkerText(const QWidget* child);

private:
    QRect m_current;
    QRect m_design;
    std::vector<std::unique_ptr<CGeometryControl>> m_controls;
};

// The wrapper of a page class: the page as it is, plus its resizable layout.
template <class Page>
class CGeometry : public Page {
public:
    using Page::Page;

    CGeometryLayout& GetGeometry() { return m_geometry; }
    bool SetControlSpec(int id, const CGeometrySpec& rules, QWidget* parent)
    {
        return m_geometry.SetControlSpec(id, rules, parent);
    }
    void RemoveControlSpec(int id) { m_geometry.RemoveControlSpec(id); }

protected:
    void OnInitialUpdate() override
    {
        Page::OnInitialUpdate();
        m_geometry.Initialise(this);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        m_geometry.OnSize(this, event->size());
        Page::resizeEvent(event);
    }

private:
    CGeometryLayout m_geometry;
};
