#include "app/widgets/SplashBox.h"

#include "app/widgets/AboutBox.h"
#include "platform/StringTable.h"
#include "ui/widgets/ColourButton.h"
#include "ui/widgets/ColourSwatch.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

CSplashBox::CSplashBox(QWidget* parent)
    : CPaletteDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
}

CSplashBox::~CSplashBox()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool CSplashBox::Create(QWidget* parent)
{
    if (parent)
        setParent(parent, windowFlags());
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* picture = new CColourButton(frame);
    picture->SetPicture(MarloxPicture(96));
    picture->setFocusPolicy(Qt::NoFocus);
    auto* name = new CColourSwatch(QString::fromStdString(GetAppName()), frame);
    m_version = new CColourSwatch(MarloxVersionText(), frame);
    auto* text = new QVBoxLayout;
    text->addStretch();
    text->addWidget(name);
    text->addWidget(m_version);
    text->addStretch();
    auto* row = new QHBoxLayout(frame);
    row->addWidget(picture);
    row->addSpacing(16);
    row->addLayout(text);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    name->AutoLoad(true, true);
    m_version->AutoLoad(false, false);
    adjustSize();
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
    show();
    repaint();
    return true;
}

void CSplashBox::StartTimer(int milliseconds)
{
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, &CSplashBox::Dismiss);
    }
    m_timer->start(milliseconds);
}

bool CSplashBox::IsDismissEvent(int type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        return true;
    default:
        return false;
    }
}

bool CSplashBox::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_bDismissed && IsDismissEvent(event->type()))
        QTimer::singleShot(0, this, &CSplashBox::Dismiss); // the press still goes where it was going
    return CPaletteDialog::eventFilter(watched, event);
}

void CSplashBox::Dismiss()
{
    if (m_bDismissed)
        return;
    m_bDismissed = true;
    qApp->removeEventFilter(this);
    hide();
    emit dismissed();
}
