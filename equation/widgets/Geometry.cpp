#include "equation/widgets/Geometry.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QPushButton>

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace {

constexpr std::string_view kMarkerPrefix = "$Geometry:";

// The number that follows "[" at text[at], read as far as it goes; 1.0
// without a bracket, 0.0 when the text is no number.
float Factor(std::string_view token, std::size_t at)
{
    if (at >= token.size() || token[at] != '[')
        return 1.0f;
    std::size_t from = at + 1;
    while (from < token.size() && (token[from] == ' ' || token[from] == '\t'))
        ++from;
    bool negative = false;
    if (from < token.size() && (token[from] == '+' || token[from] == '-')) {
        negative = token[from] == '-';
        ++from;
    }
    double value = 0.0;
    const char* first = token.data() + from;
    const char* last = token.data() + token.size();
    if (std::from_chars(first, last, value).ec != std::errc())
        return 0.0f;
    return float(negative ? -value : value);
}

} // namespace

CGeometrySpec ParseGeometrySpec(std::string_view text)
{
    CGeometrySpec rules;
    std::uint16_t& flags = rules.flags;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t plus = text.find('+', pos);
        if (plus == std::string_view::npos)
            plus = text.size();
        const std::string_view token = text.substr(pos, plus - pos);
        pos = plus + 1;
        if (token.empty())
            continue;
        std::size_t i = 0;
        if (token[0] == 'M') {
            flags |= GEOMETRY_M_PREFIX;
            i = 1;
        }
        if (i < token.size()) {
            const char c = token[i];
            const char next = i + 1 < token.size() ? token[i + 1] : '\0';
            if (c == 'C') {
                if (next == 'X') {
                    flags |= GEOMETRY_GROW_X;
                    rules.cx = Factor(token, i + 2);
                } else if (next == 'Y') {
                    flags |= GEOMETRY_GROW_Y;
                    rules.cy = Factor(token, i + 2);
                } else {
                    // The tokens before stand; the closing rules do not apply.
                    flags &= std::uint16_t(~GEOMETRY_M_PREFIX);
                    return rules;
                }
            } else if (c == 'X') {
                flags |= GEOMETRY_MOVE_X;
                rules.x = Factor(token, i + 1);
            } else if (c == 'Y') {
                flags |= GEOMETRY_MOVE_Y;
                rules.y = Factor(token, i + 1);
            } else if (c == 'x') {
                flags |= GEOMETRY_CENTRE_X;
            } else if (c == 'y') {
                flags |= GEOMETRY_CENTRE_Y;
            }
        }
        // An M gives every grow and move rule so far its proportional twin.
        if (flags & GEOMETRY_M_PREFIX)
            flags = std::uint16_t(((flags & 0x000F) << 8) | (flags & 0x7FFF));
    }
    if (flags & (GEOMETRY_SCALE_CX | GEOMETRY_SCALE_X))
        flags &= std::uint16_t(~GEOMETRY_CENTRE_X);
    if (flags & (GEOMETRY_SCALE_CY | GEOMETRY_SCALE_Y))
        flags &= std::uint16_t(~GEOMETRY_CENTRE_Y);
    if (flags & GEOMETRY_CENTRE_X)
        flags &= std::uint16_t(~(GEOMETRY_GROW_X | GEOMETRY_MOVE_X));
    if (flags & GEOMETRY_CENTRE_Y)
        flags &= std::uint16_t(~(GEOMETRY_GROW_Y | GEOMETRY_MOVE_Y));
    return rules;
}

QRect LayOutControl(const CGeometryControl& control, QSize designClient, QSize client)
{
    const std::uint16_t f = control.rules.flags;
    const int L = control.design.left(), T = control.design.top();
    const int W = control.design.width(), H = control.design.height();
    const int W0 = designClient.width(), H0 = designClient.height();
    const int cx = client.width(), cy = client.height();
    int left = L, top = T, width = W, height = H;
    if ((f & GEOMETRY_SCALE_X) && W0 != 0)
        left = L * cx / W0;
    if ((f & GEOMETRY_SCALE_CX) && W0 != 0)
        width = W * cx / W0;
    if ((f & GEOMETRY_SCALE_Y) && H0 != 0)
        top = T * cy / H0;
    if ((f & GEOMETRY_SCALE_CY) && H0 != 0)
        height = H * cy / H0;
    const int dx = cx - W0, dy = cy - H0;
    if (f & GEOMETRY_CENTRE_X)
        left += dx / 2;
    if (f & GEOMETRY_CENTRE_Y)
        top += dy / 2;
    if (f & GEOMETRY_GROW_X)
        width += int(float(dx) * control.rules.cx);
    if (f & GEOMETRY_GROW_Y)
        height += int(float(dy) * control.rules.cy);
    if (f & GEOMETRY_MOVE_X)
        left += int(float(dx) * control.rules.x);
    if (f & GEOMETRY_MOVE_Y)
        top += int(float(dy) * control.rules.y);
    return QRect(std::max(left, L), std::max(top, T), std::max(width, W), std::max(height, H));
}

bool CGeometryLayout::IsMarker(const QWidget* child)
{
    // A hidden group box, check box or radio button; a push button never is one.
    const bool kind = qobject_cast<const QGroupBox*>(child)
        || (qobject_cast<const QAbstractButton*>(child) && !qobject_cast<const QPushButton*>(child));
    return kind && child->isHidden() && MarkerText(child).startsWith(QLatin1String(kMarkerPrefix.data()));
}

QString CGeometryLayout::MarkerText(const QWidget* child)
{
    QString text;
    if (auto* box = qobject_cast<const QGroupBox*>(child))
        text = box->title();
    else if (auto* button = qobject_cast<const QAbstractButton*>(child))
        text = button->text();
    return text.left(255);
}

void CGeometryLayout::Initialise(QWidget* page)
{
    m_design = m_current = page->rect();
    std::vector<QWidget*> children;
    for (QObject* object : page->children())
        if (auto* w = qobject_cast<QWidget*>(object); w && !w->isWindow())
            children.push_back(w);
    for (QWidget* marker : children) {
        if (!IsMarker(marker))
            continue;
        const std::string text = MarkerText(marker).mid(int(kMarkerPrefix.size())).toStdString();
        for (QWidget* child : children) {
            if (child == marker || IsMarker(child))
                continue;
            if ((marker->geometry() & child->geometry()) != child->geometry())
                continue;
            SetControlSpec(child->property("controlId").toInt(), ParseGeometrySpec(text), child);
        }
    }
    // The design places as they are once every marker was read.
    for (auto& record : m_controls)
        if (record->control)
            record->design = record->control->geometry();
}

bool CGeometryLayout::SetControlSpec(int id, const CGeometrySpec& rules, QWidget* control)
{
    for (auto& record : m_controls)
        if (record->id == id && (!control || !record->control || record->control == control)) {
            record->rules = rules;
            return true;
        }
    auto record = std::make_unique<CGeometryControl>();
    record->id = id;
    record->rules = rules;
    record->control = control;
    if (control)
        record->design = control->geometry();
    m_controls.push_back(std::move(record));
    return true;
}

void CGeometryLayout::RemoveControlSpec(int id)
{
    auto it = std::find_if(m_controls.begin(), m_controls.end(), [id](const auto& r) { return r->id == id; });
    if (it != m_controls.end())
        m_controls.erase(it);
}

void CGeometryLayout::OnSize(QWidget* page, QSize size)
{
    if (m_design.width() == 0 || size.width() == 0 || size.height() == 0)
        return;
    const QSize design = m_design.size();
    const bool within = size.width() <= design.width() && size.height() <= design.height()
        && m_current.width() <= design.width() && m_current.height() <= design.height();
    if (!within)
        LayOutAll(size);
    m_current = QRect(QPoint(0, 0), size.expandedTo(design));
    (void)page;
}

void CGeometryLayout::LayOutAll(QSize client)
{
    for (auto& record : m_controls) {
        if (!record->control)
            continue; // a control that is gone: nothing to move
        record->control->setGeometry(LayOutControl(*record, m_design.size(), client));
        if (QWidget* parent = record->control->parentWidget())
            parent->update();
    }
}
