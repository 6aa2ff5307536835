#include "app/widgets/MXHelp.h"

#include "app/HelpTopicMap.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "ui/widgets/HtmlHelp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QWhatsThis>
#include <QWidget>

#include <memory>

namespace {

struct HelpState {
    QString folder;
    QString topicMap;
    std::unique_ptr<CHelpTopicMap> map;
};

HelpState& State()
{
    static HelpState state;
    return state;
}

// Ends whatever mode the user is in (What's This, a drag, an open menu) before help shows.
void CancelModes()
{
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    while (QWidget* popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
}

// F1 in any window other than the main window, which has a command of its own.
class F1Filter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType())
            return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!window || qobject_cast<QMainWindow*>(window))
            return false;
        // Find the nearest window up the chain that names its page.
        DWORD id = 0;
        for (QWidget* w = window; w && !id; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
            id = CMXHelp::HelpIdOf(w);
        QWidget* owner = window;
        while (owner->parentWidget())
            owner = owner->parentWidget()->window();
        if (id)
            CMXHelp::MainWindowWinHelp(owner, id, HELP_CONTEXT);
        else
            CMXHelp::ShowContents(owner);
        return true;
    }
};

} // namespace

DWORD CMXHelp::HelpIdOf(const QWidget* window)
{
    return window ? DWORD(window->property("helpId").toUInt()) : 0;
}

void CMXHelp::SetHelpId(QWidget* window, DWORD helpId)
{
    if (window)
        window->setProperty("helpId", uint(helpId));
}

void CMXHelp::InstallF1Handler()
{
    static F1Filter* filter = nullptr;
    if (!filter && qApp) {
        filter = new F1Filter(qApp);
        qApp->installEventFilter(filter);
    }
}

QString CMXHelp::GetHelpFolder()
{
    if (!State().folder.isEmpty())
        return State().folder;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help"));
}

QString CMXHelp::GetTopicMapPath()
{
    if (!State().topicMap.isEmpty())
        return State().topicMap;
    return QString::fromStdString(CHelpTopicMap::PathForProgram(QCoreApplication::applicationFilePath().toStdString()));
}

void CMXHelp::SetLocations(const QString& helpFolder, const QString& topicMapPath)
{
    State().folder = helpFolder;
    State().topicMap = topicMapPath;
    State().map.reset();
}

bool CMXHelp::IsHelpAvailable() { return QFileInfo(QDir(GetHelpFolder()), QStringLiteral("index.html")).isFile(); }

const CHelpTopicMap& CMXHelp::GetTopicMap()
{
    if (!State().map) {
        State().map = std::make_unique<CHelpTopicMap>();
        State().map->Load(GetTopicMapPath().toStdString());
    }
    return *State().map;
}

void CMXHelp::ApplicationWinHelp(QWidget* mainWindow, DWORD helpId, UINT command)
{
    if (!FilterApplicationHelpId(helpId))
        return;
    MainWindowWinHelp(mainWindow, helpId, command);
}

QWidget* CMXHelp::MainWindowWinHelp(QWidget* frame, DWORD helpId, UINT command)
{
    if (!IsHelpAvailable())
        return nullptr;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CancelModes();
    QApplication::restoreOverrideCursor();
    QWidget* owner = frame ? frame->window() : nullptr;
    QWidget* shown = nullptr;
    if (command == HELP_CONTEXT) {
        std::string topic = GetTopicMap().Lookup(helpId);
        if (topic.empty()) {
            ReportMessage(IDS_HELP_TOPIC_MISSING, {HelpKeyDecimal(helpId)}, MB_OKCANCEL | MB_ICONEXCLAMATION,
                          IDS_HELP_TOPIC_MISSING);
            return nullptr;
        }
        shown = HtmlHelp(owner, GetHelpFolder(), HH_DISPLAY_TOPIC, QString::fromStdString(topic));
    } else if (command == HELP_CONTENTS) {
        shown = HtmlHelp(owner, GetHelpFolder(), HH_DISPLAY_TOPIC);
    } else {
        return nullptr;
    }
    if (!shown)
        ReportText("Failed to launch help.", MB_OK | MB_ICONEXCLAMATION);
    return shown;
}

QWidget* CMXHelp::ShowContents(QWidget* frame) { return MainWindowWinHelp(frame, 0, HELP_CONTENTS); }
