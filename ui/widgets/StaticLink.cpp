#include "ui/widgets/StaticLink.h"

#include "platform/Reporter.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace {

bool DesktopOpen(const QString& target) { return QDesktopServices::openUrl(QUrl::fromUserInput(target)); }

CStaticLink::Opener& TheOpener()
{
    static CStaticLink::Opener opener = &DesktopOpen;
    return opener;
}

} // namespace

CStaticLink::CStaticLink(const QString& target, QWidget* parent) : QLabel(parent), m_link(target)
{
    setCursor(Qt::PointingHandCursor);
    setTextInteractionFlags(Qt::NoTextInteraction);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    UpdateLook();
}

void CStaticLink::SetOpener(Opener opener) { TheOpener() = opener ? std::move(opener) : Opener(&DesktopOpen); }

QColor CStaticLink::GetLinkColour() const { return QColor::fromRgb(m_bVisited ? kVisited : kUnvisited); }

void CStaticLink::UpdateLook()
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, GetLinkColour());
    setPalette(p);
    setAutoFillBackground(false);
}

bool CStaticLink::Open()
{
    QString target = m_link.isEmpty() ? text() : m_link;
    if (target.isEmpty())
        return false;
    if (!TheOpener()(target)) {
        MessageBeep();
        return false;
    }
    m_bVisited = true;
    UpdateLook();
    update();
    return true;
}

void CStaticLink::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        Open();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}
