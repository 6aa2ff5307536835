#include "app/widgets/MXApp.h"

#include "app/DesktopIntegration.h"
#include "app/HelpTopicMap.h"
#include "app/MXCommandLineInfo.h"
#include "app/MXDoc.h"
#include "app/SingleInstanceChannel.h"
#include "app/TipFile.h"
#include "app/widgets/AboutBox.h"
#include "data/LocaleChars.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/WindowRules.h"
#include "ui/widgets/FontPage.h"
#include "app/widgets/SplashBox.h"
#include "app/widgets/TipDlg.h"
#include "app/MXProjectItem.h"
#include "app/widgets/DesktopClipboard.h"
#include "app/widgets/FileProperties.h"
#include "app/widgets/OptionsSheet.h"
#include "app/widgets/MXListViewBar.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/FitTabForm.h"
#include "app/widgets/GraphProjectWnd.h"
#include "app/widgets/EqnTabForm.h"
#include "app/widgets/HardEqnTabForm.h"
#include "equation/HardEquation.h"
#include "app/widgets/MXTabForm.h"
#include "app/widgets/MXTemplate.h"
#include "app/widgets/TransTabForm.h"
#include "app/widgets/MessageBoxReporter.h"
#include "app/widgets/PromptScript.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "app/widgets/DataView.h"
#include "app/widgets/TableProjectWnd.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "app/MXGrid.h"
#include "app/Preferences.h"
#include "data/DataFilters.h"
#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/NewTemplateSheet.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "platform/StringTable.h"
#include "platform/SettingsStore.h"
#include "ui/widgets/CommandImages.h"
#include "ui/widgets/CommentRichEditCtrl.h"
#include "platform/widgets/FileChooser.h"
#include "ui/widgets/DialogFileChooser.h"
#include "ui/widgets/MultiDefaultFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>
#include <QTimer>
#include <QFileInfo>
#include <QLocale>
#include <QPalette>
#include <QIcon>
#include <QWhatsThis>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

// The resource id of workspace templates (an id of resources, not of a string).
constexpr UINT kTemplateResources = 136;

constexpr const char* kEquationStrings = "\nEquation\nEquation\n\n\n\n";
constexpr const char* kTransformStrings = "\nTransformation\nTransformation\n\n\n\n";
constexpr const char* kHardEquationStrings = "\nHard-coded Equation\nHard-coded Equation\n\n\n\n";
constexpr const char* kNotepadStrings = "\nNotes\nNotes\n\n\n\n";
constexpr const char* kTableStrings = "\nData\nData\n\n\n\n";
constexpr const char* kGraphStrings = "\nGraph\nGraph\n\n\n\n";
constexpr const char* kLinearStrings = "\nLinear Fit\nLinear Fit\n\n\n\n";
constexpr const char* kNonlinearStrings = "\nNon-linear Fit\nNon-linear Fit\n\n\n\n";

// Whole numbers as scanf's %d reads them: blanks first, an optional sign.
bool ScanInt(std::string_view text, std::size_t& pos, long& value)
{
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' || text[pos] == '\r'))
        ++pos;
    std::size_t p = pos;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] < '0' || text[p] > '9')
        return false;
    long long v = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        v = std::min<long long>(v * 10 + (text[p] - '0'), 1LL << 40);
        ++p;
    }
    value = long(negative ? -v : v);
    pos = p;
    return true;
}

COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

bool HasTemplateExtension(const std::string& path)
{
    const std::string ext = LoadString(IDS_TEMPLATE_EXT);
    return path.size() >= ext.size()
        && QString::fromStdString(path.substr(path.size() - ext.size())).compare(QString::fromStdString(ext), Qt::CaseInsensitive) == 0;
}

CMXApp* s_mxApp = nullptr;

// Counts a load, save or request in progress for as long as it runs.
class BusyScope {
public:
    explicit BusyScope(int& count) : m_count(++count) {}
    ~BusyScope() { --m_count; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& m_count;
};

// The number characters the user saved as the program's own, else the desktop's.
void LoadLocaleChars()
{
    const QLocale locale = QLocale::system();
    auto first = [](const QString& text) { return FirstCharacter(text.toStdString()); };
    const std::string decimal = first(locale.decimalPoint());
    auto read = [&](const char* entry, const std::string& fallback) {
        std::string value = FirstCharacter(GetProfileString("Preferences", entry, fallback));
        return value.empty() ? fallback : value;
    };
    SetDecimalChar(read("Decimal", decimal.empty() ? "." : decimal));
    // The desktop names no list separator: where the comma is the decimal character, lists take the semicolon.
    SetListSeparator(read("ListSeparator", GetDecimalChar() == "," ? ";" : ","));
    SetDigitGroupSeparator(read("DigitGroupSeparator", first(locale.groupSeparator())));
    SetDigitsInGroup(GetProfileInt("Preferences", "DigitsInGroup", 3));
    const std::string negative = first(locale.negativeSign());
    SetNegativeSymbol(read("NegativeSymbol", negative.empty() ? "-" : negative));
}

} // namespace

CMXApp* GetMXApp() { return s_mxApp; }

CMXApp::CMXApp()
{
    s_mxApp = this;
    // The workspace and stored-item dialogs have buttons for the user's and
    // the group's folders.
    static CDialogFileChooser dialogs;
    SetDefaultFileChooser(&dialogs);
    m_pRequestTimer = new QTimer(this);
    m_pRequestTimer->setSingleShot(true);
    connect(m_pRequestTimer, &QTimer::timeout, this, &CMXApp::ProcessInstanceRequests);
    m_tableFont.lfPitchAndFamily = 0x22;
    std::strncpy(m_tableFont.lfFaceName, "Arial", LF_FACESIZE - 1);
    // The Options sheet changes the preferences; the windows follow at once.
    Preferences().m_onLargeIcons = [this](bool large) {
        if (CMXMainWnd* main = GetMainFrame())
            main->OnIconSizeChanged(large);
    };
    Preferences().m_onFiltersChanged = [this] {
        CDataFilters::Current().Query(Preferences().m_filters);
        emit filtersChanged();
    };
}

CMXApp::~CMXApp()
{
    Preferences().m_onLargeIcons = nullptr;
    Preferences().m_onFiltersChanged = nullptr;
    if (s_mxApp == this)
        s_mxApp = nullptr;
}

CMXMainWnd* CMXApp::GetMainFrame() const { return static_cast<CMXMainWnd*>(m_pMainWnd); }

// ---------------------------------------------------------------------------
// Start-up and shutdown

void CMXApp::ParseCommandLine(const QStringList& arguments)
{
    CMXCommandLineInfo info;
    std::vector<std::string> args;
    for (int i = 1; i < arguments.size(); ++i)
        args.push_back(arguments[i].toStdString());
    info.ParseArguments(args);
    m_bInstallDesktop = info.m_bInstallDesktop;
    m_bStartMinimized = info.m_bStartMinimized;
    m_bNewFromTemplate = info.m_nShellCommand == CMXCommandLineInfo::NewFromTemplate;
    // A name typed relative to where this start ran means nothing to the
    // running copy, which runs elsewhere.
    if (!info.m_strFileName.empty()) {
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(info.m_strFileName, ec);
        if (!ec)
            info.m_strFileName = absolute.lexically_normal().string();
    }
    if (info.m_nShellCommand == CMXCommandLineInfo::FileOpen || m_bNewFromTemplate)
        m_strFileToOpen = info.m_strFileName;
    // Printing waits until the program has started, as a request of a later start does.
    m_requests.clear();
    if (info.m_nShellCommand == CMXCommandLineInfo::FilePrint && !info.m_strFileName.empty())
        m_requests.push_back(DDERequest{DDERequest::print, info.m_strFileName});
    m_strHandOver = info.ToDDECommand();
}

void CMXApp::ShowSplashWindow()
{
    if (m_pSplash)
        return;
    m_pSplash = new CSplashBox;
    if (!m_pSplash->Create())
        delete m_pSplash;
}

void CMXApp::DestroySplashWindow()
{
    if (m_pSplash)
        m_pSplash->Dismiss();
}

void CMXApp::ShowStartupTip()
{
    if (m_pSplash)
        m_pSplash->StartTimer();
    if (!CTipFile::ShowAtStartup())
        return;
    // Shown without blocking, so that the program is usable at once.
    auto* tip = new CTipDlg(m_pMainWnd);
    tip->setAttribute(Qt::WA_DeleteOnClose);
    tip->show();
}

void CMXApp::RunAboutBox()
{
    CAboutBox box(m_pMainWnd);
    box.exec();
}

void CMXApp::RunTipOfTheDay()
{
    CTipDlg tip(m_pMainWnd);
    tip.exec();
}

void CMXApp::ShowHelp(UINT helpId) { CMXHelp::MainWindowWinHelp(m_pMainWnd, helpId, HELP_CONTEXT); }

bool CMXApp::OnInstanceRequest(const std::string& command)
{
    // The sender is still waiting for its answer: nothing modal may run here.
    DDERequest request = ParseDDECommand(command);
    if (request.kind == DDERequest::none || request.path.empty())
        return false;
    // A program that floods the channel is not queued without end.
    if (m_requests.size() >= kMaxWaitingRequests)
        return false;
    m_requests.push_back(std::move(request));
    if (!m_pRequestTimer->isActive())
        m_pRequestTimer->start(0);
    return true;
}

bool CMXApp::IsBusy() const
{
    // The program's own event loop is the first; a deeper one belongs to a
    // prompt, a menu or a dialog that a request must not pull the workspace from under.
    return !m_bStarted || m_nBusy > 0 || QApplication::activeModalWidget() || QApplication::activePopupWidget()
        || QThread::currentThread()->loopLevel() > 1;
}

void CMXApp::ProcessInstanceRequests()
{
    if (m_requests.empty())
        return;
    if (IsBusy()) {
        // Looked at again shortly: the prompt or load that holds it up ends in its own time.
        if (!m_pRequestTimer->isActive())
            m_pRequestTimer->start(100);
        return;
    }
    const DDERequest request = m_requests.front();
    m_requests.pop_front();
    {
        BusyScope busy(m_nBusy);
        if (m_pMainWnd) {
            if (m_pMainWnd->isMinimized())
                m_pMainWnd->showNormal();
            else
                m_pMainWnd->show();
            m_pMainWnd->raise();
            m_pMainWnd->activateWindow();
        }
        if (request.kind == DDERequest::newFromTemplate)
            OpenFromTemplate(request.path);
        else if (OpenWorkspace(request.path) && request.kind == DDERequest::print)
            PrintWorkspace();
    }
    if (!m_requests.empty() && !m_pRequestTimer->isActive())
        m_pRequestTimer->start(0);
}

bool CMXApp::SetUpPrinter(QPrinter& printer)
{
    if (m_pPromptScript) {
        m_pPromptScript->SetUpPrinter(printer);
        return true;
    }
    // A new printer object is set up for the default printer already.
    if (!QPrinterInfo::defaultPrinter().isNull())
        return true;
    // No printer installed: the dialog can still print to a file.
    QPrintDialog dialog(&printer, m_pMainWnd);
    return dialog.exec() == QDialog::Accepted;
}

int CMXApp::PrintWorkspace()
{
    auto* doc = dynamic_cast<CMXDoc*>(GetProjectDoc());
    CMXMainWnd* main = GetMainFrame();
    if (!doc || !main)
        return 0;
    BusyScope busy(m_nBusy);
    int printed = 0;
    for (CMXProjectItem* item : doc->ItemsInRowOrder()) {
        // Only the kinds with windows have pages so far.
        if (!GetItemTemplate(item))
            continue;
        // The item's window lays out its pages; one opened for printing closes again.
        const bool wasOpen = main->HasItemWindow(item);
        if (!main->OpenItemWindow(item))
            continue;
        CProjectFrameBase* frame = nullptr;
        for (CProjectFrameBase* f : main->GetFrames())
            if (f->GetItem() == item)
                frame = f;
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QString::fromStdString(item->GetName()));
        printer.setPageOrientation(item->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
        const bool go = SetUpPrinter(printer);
        int pages = 0;
        if (go && frame) {
            if (auto* notes = dynamic_cast<CNotepadProjectWnd*>(frame))
                pages = notes->GetNoteView() ? notes->GetNoteView()->PrintTo(printer) : 0;
            else if (auto* table = dynamic_cast<CTableProjectWnd*>(frame))
                pages = table->GetDataView() ? table->GetDataView()->PrintTo(printer) : 0;
            else if (auto* form = qobject_cast<CMXTabForm*>(frame->widget()))
                pages = form->PrintTo(printer);
        }
        if (!wasOpen)
            main->CloseItemWindows(item);
        if (!go)
            break;
        if (pages > 0)
            ++printed;
    }
    return printed;
}

void CMXApp::CloseWhenFree()
{
    if (!m_pMainWnd)
        return;
    // Requests already answered are carried out first.
    if (IsBusy() || !m_requests.empty()) {
        QTimer::singleShot(100, this, &CMXApp::CloseWhenFree);
        return;
    }
    m_pMainWnd->close();
}

bool CMXApp::InitInstance(const QStringList& arguments)
{
    // The column types ask their settings through the program's dialogs.
    static CColumnTypeEditor columnTypeEditor;
    SetColumnSettingsEditor(&columnTypeEditor);
    InstallFontSubstitutes();
    CProfile::SetRegistryKey(LoadString(IDS_MAKER_NAME));

    m_pReporter = std::make_unique<CMessageBoxReporter>();
    // Tests that run the program answer its prompts through files; a test
    // that runs it in its own process has installed its reporter already.
    m_pPromptScript = CPromptScript::FromEnvironment();
    m_pOldReporter = m_pPromptScript ? SetReporter(m_pPromptScript.get()) : SetReporter(m_pReporter.get());
    if (m_pOldReporter && !m_pPromptScript)
        SetReporter(m_pOldReporter);
    m_pClipboard = std::make_unique<CDesktopClipboard>();
    m_pOldClipboard = SetClipboard(m_pClipboard.get());

    ParseCommandLine(arguments);
    if (m_bInstallDesktop) {
        RunDesktopInstall(QCoreApplication::applicationFilePath().toStdString(), std::cerr);
        m_bHandedOver = true;
        return false;
    }
    // A second start hands its file to the copy that runs, and ends. The
    // first claims the name now and listens once it has started.
    const QString channelName = CSingleInstanceChannel::DefaultName();
    if (!channelName.isEmpty()) {
        m_pChannel = std::make_unique<CSingleInstanceChannel>(channelName);
        bool toldWaiting = false;
        while (!m_pChannel->Claim()) {
            // A plain start beside a running copy is a copy of its own.
            if (m_strHandOver.empty()) {
                m_pChannel.reset();
                break;
            }
            switch (CSingleInstanceChannel::Send(channelName, m_strHandOver)) {
            case CSingleInstanceChannel::Sent::Taken:
                m_bHandedOver = true;
                return false;
            case CSingleInstanceChannel::Sent::Refused:
                std::cerr << "The running Marlox did not take the request " << m_strHandOver << ".\n";
                return false;
            case CSingleInstanceChannel::Sent::NoAnswer:
                // The other copy is still starting (it listens once started), or
                // has just ended and freed the name: ask again shortly.
                if (!toldWaiting) {
                    std::cerr << "Marlox is starting in another window; the file goes to it once it has started.\n";
                    toldWaiting = true;
                }
                QThread::msleep(100);
                break;
            }
        }
        if (m_pChannel)
            m_pChannel->SetHandler([this](const std::string& command) { return OnInstanceRequest(command); });
    }
    // The splash window shows while the program starts (not when started minimised).
    if (!m_bStartMinimized)
        ShowSplashWindow();

    m_recentFiles.ReadList();
    LoadSettings();

    m_pWorkspaceTemplate = std::make_unique<CMXTemplate>(
        IDS_WORKSPACE_DOC_STRINGS, LoadString(IDS_WORKSPACE_DOC_STRINGS),
        [this] {
            auto doc = std::make_unique<CMXDoc>();
            doc->SetHost(m_pMainWnd);
            return std::unique_ptr<CProjectDocBase>(std::move(doc));
        },
        nullptr);
    m_pNotepadTemplate = std::make_unique<CProjectTemplateBase>(
        133, kNotepadStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CNotepadProjectWnd); });
    m_pTableTemplate = std::make_unique<CProjectTemplateBase>(
        131, kTableStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CTableProjectWnd); });
    m_itemTemplates[KIND_GRAPH] = std::make_unique<CProjectTemplateBase>(
        132, kGraphStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CGraphProjectWnd); });
    m_itemTemplates[KIND_EQUATION] = std::make_unique<CProjectTemplateBase>(
        135, kEquationStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CEqnProjectWnd); });
    m_itemTemplates[KIND_TRANSFORM] = std::make_unique<CProjectTemplateBase>(
        421, kTransformStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CTransProjectWnd); });
    m_itemTemplates[KIND_LINEAR] = std::make_unique<CProjectTemplateBase>(
        3503, kLinearStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CLinearProjectWnd); });
    m_itemTemplates[KIND_NONLINEAR] = std::make_unique<CProjectTemplateBase>(
        3519, kNonlinearStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CNonlinProjectWnd); });
    m_itemTemplates[KIND_HARD_EQUATION] = std::make_unique<CProjectTemplateBase>(
        141, kHardEquationStrings, nullptr, [] { return static_cast<CProjectFrameBase*>(new CHardEqnProjectWnd); });
    // Graph pages take the paper of the default printer.
    InstallPrinterPaperProvider();
    m_pWorkspaceTemplate->m_onOpened = [this](CProjectDocBase* doc) {
        if (m_pListViewBar)
            m_pListViewBar->SetDocument(doc);
        if (m_pMainWnd) {
            m_pMainWnd->OnUpdateFrameTitle();
            m_pMainWnd->GetRouter().UpdateAll();
        }
    };

    QApplication::setWindowIcon(CCommandImages::SvgIconFromText(QByteArray::fromStdString(ApplicationIconText())));
    // Desktops without a theme of their own still find the standard actions' icons.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == "hicolor")
        QIcon::setFallbackThemeName("Adwaita");
    auto* main = new CMXMainWnd;
    m_pMainWnd = main;
    if (!main->Create()) {
        delete main;
        m_pMainWnd = nullptr;
        return false;
    }
    m_pReporter->SetOwner(main);
    CMXHelp::InstallF1Handler();
    InstallWindowRules();

    const char* path = m_strFileToOpen.empty() || m_bNewFromTemplate ? nullptr : m_strFileToOpen.c_str();
    if (m_bNewFromTemplate) {
        if (!OpenFromTemplate(m_strFileToOpen))
            m_pWorkspaceTemplate->OpenDocumentFile(nullptr, true);
    } else if (path ? !OpenWorkspace(path) : !m_pWorkspaceTemplate->OpenDocumentFile(nullptr, true)) {
        // A named file that cannot be read ends the start (its reason was shown).
        DestroySplashWindow();
        return false;
    } else if (path) {
        AddToRecentFileList(path);
    }
    UpdateMainIcons();
    main->show();
    // The tip of the day when no file was named, else the splash goes at once.
    if (m_strFileToOpen.empty() && m_requests.empty())
        ShowStartupTip();
    else
        DestroySplashWindow();
    // Started: later starts may now hand over their requests. Listening any
    // earlier would let one open a file in the middle of the start-up load.
    m_bStarted = true;
    if (m_pChannel)
        m_pChannel->Listen();
    if (!m_requests.empty())
        m_pRequestTimer->start(0);
    return true;
}

int CMXApp::ExitInstance()
{
    m_pChannel.reset();
    m_requests.clear();
    m_pRequestTimer->stop();
    m_bStarted = false;
    // No event loop runs any more to carry out a deferred deletion.
    delete m_pSplash.data();
    if (m_pMainWnd) {
        delete m_pMainWnd;
        m_pMainWnd = nullptr;
    }
    m_pListViewBar = nullptr;
    if (m_pWorkspaceTemplate)
        m_pWorkspaceTemplate->CloseAllDocuments();
    m_pNotepadTemplate.reset();
    m_pTableTemplate.reset();
    m_itemTemplates.clear();
    m_pWorkspaceTemplate.reset();
    // A start that ended before the settings were read (a hand-over to the
    // running copy) must not overwrite them with its blank ones.
    if (m_bSettingsLoaded) {
        SaveSettings();
        m_recentFiles.WriteList();
    }
    SetClipboard(m_pOldClipboard);
    SetReporter(m_pOldReporter);
    m_pClipboard.reset();
    m_pReporter.reset();
    m_pPromptScript.reset();
    return 0;
}

bool CMXApp::CreateWorkspaceBar(CProjectFrameMDIMain* mainFrame)
{
    auto* bar = new CMXListViewBar(mainFrame);
    m_pListViewBar = bar;
    return true;
}

CProjectTemplateBase* CMXApp::GetItemTemplate(const CProjectItemBase* item) const
{
    auto* mx = dynamic_cast<const CMXProjectItem*>(item);
    if (!mx)
        return nullptr;
    switch (mx->GetKindFlag()) {
    case KIND_NOTES: return m_pNotepadTemplate.get();
    case KIND_DATA: return m_pTableTemplate.get();
    default: break;
    }
    // None for a kind without a window.
    auto it = m_itemTemplates.find(mx->GetKindFlag());
    return it == m_itemTemplates.end() ? nullptr : it->second.get();
}


bool CMXApp::OpenWorkspace(const std::string& path)
{
    if (!m_pWorkspaceTemplate)
        return false;
    BusyScope busy(m_nBusy);
    // Converting a large old file takes a while.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CProjectDocBase* doc = m_pWorkspaceTemplate->OpenDocumentFile(path.c_str(), true);
    QApplication::restoreOverrideCursor();
    if (doc)
        AddToRecentFileList(path);
    // A failed open may have left a new workspace in place of the old one.
    else if (m_pMainWnd)
        m_pMainWnd->OnUpdateFrameTitle();
    if (auto* mx = dynamic_cast<CMXDoc*>(doc)) {
        if (UINT notice = mx->GetConversionNoticeID()) {
            // A converted file is never written back in its old form: the
            // workspace has no file until it is saved under a new name.
            MakeUntitled(mx);
            mx->SetModifiedFlag(true);
            if (m_pMainWnd)
                m_pMainWnd->OnUpdateFrameTitle();
            ReportMessage(notice);
        }
    }
    UpdateMainIcons();
    return doc != nullptr;
}

bool CMXApp::OpenFromTemplate(const std::string& path)
{
    // A template is no recent workspace.
    ++m_nSuppressRecentFiles;
    const bool opened = OpenWorkspace(path);
    --m_nSuppressRecentFiles;
    if (!opened)
        return false;
    // The copy is a new workspace: it has no file until it is saved.
    CProjectDocBase* doc = m_pWorkspaceTemplate->GetDocument();
    doc->SetPathName({});
    m_pWorkspaceTemplate->SetUntitledTitle(doc);
    if (m_pMainWnd)
        m_pMainWnd->OnUpdateFrameTitle();
    UpdateMainIcons();
    return true;
}

void CMXApp::SetLargeIcons(bool large) { Preferences().SetLargeIcons(large); }

void CMXApp::AddToRecentFileList(const std::string& path)
{
    if (m_nSuppressRecentFiles == 0)
        m_recentFiles.Add(path);
}

bool CMXApp::OpenRecentFile(std::size_t index)
{
    if (index >= m_recentFiles.Files().size())
        return false;
    const std::string path = m_recentFiles.Files()[index];
    if (OpenWorkspace(path))
        return true;
    // A file that is gone is no use on the menu (one the user kept by
    // cancelling the save question, or a damaged one, stays listed).
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && m_recentFiles.Files().size() > index
        && m_recentFiles.Files()[index] == path)
        m_recentFiles.Remove(index);
    return false;
}

std::string CMXApp::GetTemplateFolder(bool group) const
{
    const std::string& set = GetDirectory(group ? CPreferences::GroupTemplateDir : CPreferences::UserTemplateDir);
    if (!set.empty())
        return set;
    if (group)
        return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("templates")).toStdString();
    return CSettingsStore::UserConfigDir() + "/templates";
}

bool CMXApp::NewFromTemplateSheet()
{
    CNewTemplateSheet sheet(GetTemplateFolder(false), GetTemplateFolder(true), m_pMainWnd,
                            CNewTemplateSheet::kNewFileMenu, IDS_NEW);
    if (sheet.DoModal() != QDialog::Accepted || sheet.GetChosenPath().empty())
        return false;
    if (m_pMainWnd)
        m_pMainWnd->SaveWindowPlacement();
    return OpenFromTemplate(sheet.GetChosenPath());
}

void CMXApp::ApplyLibraryFolders()
{
    // Equation libraries are looked for in these folders first, and one
    // found there loads without a question.
    CHardEquation::SetLibraryFolders(GetDirectory(CPreferences::UserDllEquationDir),
                                     GetDirectory(CPreferences::GroupDllEquationDir));
}

bool CMXApp::RunOptions()
{
    const bool ok = ShowOptionsSheet(m_pMainWnd, Preferences(), GetProjectDoc()) == 1;
    CMXDoc::s_author = Preferences().m_authorName;
    ApplyLibraryFolders();
    return ok;
}

std::string CMXApp::PromptFileName(const std::string& fileName, bool open)
{
    std::vector<CMultiDefaultFileDialog::FileType> types;
    std::string ownExtension;
    int selected = 0;
    const std::string templateExt = LoadString(IDS_TEMPLATE_EXT);
    if (m_pWorkspaceTemplate) {
        CMultiDefaultFileDialog::FileType own{m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::filterName),
                                              m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::filterExt)};
        types.push_back(own);
        ownExtension = own.extension;
    }
    // Workspace templates open and save as workspaces of their own type.
    types.push_back({LoadString(IDS_TEMPLATE_FILTER), templateExt});
    // Files of version 3 open too: they are converted into a new workspace.
    if (open) {
        types.push_back({LoadString(IDS_VERSION3_DATA_FILE), ".MXD"});
        types.push_back({LoadString(IDS_VERSION3_EQUATION_FILE), ".MXE"});
    }
    if (!open && HasTemplateExtension(fileName)) {
        selected = int(types.size()) - 1;
        ownExtension = templateExt;
    }
    if (ownExtension.size() > 1 && ownExtension[0] == '.')
        ownExtension.erase(0, 1);
    FileRequest request;
    request.mode = open ? FileRequest::OpenFile : FileRequest::SaveFile;
    request.folderButtons = true;
    request.userFolder = GetTemplateFolder(false);
    request.groupFolder = GetTemplateFolder(true);
    // A template saved through the user folder's button lands where the New sheet looks.
    if (!open && GetDirectory(CPreferences::UserTemplateDir).empty()) {
        std::error_code made;
        std::filesystem::create_directories(request.userFolder, made);
    }
    request.defaultExtension = QString::fromStdString(ownExtension).toLower().toStdString();
    request.filters = CMultiDefaultFileDialog::FilterTexts(types);
    request.selectedFilter = selected;
    const std::string& current = GetDirectory(CPreferences::CurrentDataDir);
    std::error_code ec;
    if (!current.empty() && std::filesystem::is_directory(current, ec))
        request.folder = current;
    request.name = fileName;
    std::optional<FileAnswer> answer = ChooseFile(m_pMainWnd, request);
    if (!answer || answer->path.empty())
        return {};
    std::string path = answer->path;
    if (!open) {
        // A bare name takes the extension of the type chosen last (all files: the proposed one).
        std::string extension = request.defaultExtension;
        if (answer->filter >= 0 && answer->filter < int(request.filters.size())) {
            const std::string pattern = FirstPatternOf(request.filters[std::size_t(answer->filter)]);
            if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern.find('*', 2) == std::string::npos)
                extension = QString::fromStdString(pattern.substr(2)).toLower().toStdString();
        }
        path = WithDefaultExtension(path, extension);
    }
    // File dialogs start where the last file was chosen.
    std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos)
        Preferences().SetDirectory(CPreferences::CurrentDataDir, path.substr(0, slash));
    return path;
}

std::string CMXApp::PromptSavePath(CProjectDocBase* document)
{
    // The title up to the first character that cannot stand in a proposed name.
    std::string name = document->GetTitle();
    name = name.substr(0, name.find_first_of(" #%;/\\"));
    const bool isTemplate = HasTemplateExtension(document->GetPathName());
    std::string ext = isTemplate ? LoadString(IDS_TEMPLATE_EXT)
                                 : (m_pWorkspaceTemplate ? m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::filterExt) : "");
    // A title that already ends in the extension (the file's own name) keeps it once.
    const QString title = QString::fromStdString(name), extension = QString::fromStdString(ext).toLower();
    if (!name.empty() && !ext.empty() && !title.endsWith(extension, Qt::CaseInsensitive))
        name += extension.toStdString();
    return PromptFileName(name, false);
}

bool CMXApp::DoSave(CProjectDocBase* document, bool askPath)
{
    const bool named = askPath || document->GetPathName().empty();
    BusyScope busy(m_nBusy);
    if (!CProjectAppBase::DoSave(document, askPath))
        return false;
    if (named)
        AddToRecentFileList(document->GetPathName());
    UpdateMainIcons();
    return true;
}

bool CMXApp::OnCmdMsg(UINT id, CCmdUI* ui)
{
    switch (id) {
    case ID_FILE_OPEN:
        if (ui) {
            ui->Enable();
        } else {
            std::string path = PromptFileName({}, true);
            if (!path.empty())
                OpenWorkspace(path);
        }
        return true;
    case ID_FILE_NEW_FROM_TEMPLATE:
        if (ui) ui->Enable(); else NewFromTemplateSheet();
        return true;
    case ID_OPTIONS:
        if (ui) ui->Enable(); else RunOptions();
        return true;
    case ID_FILE_PROPERTIES: {
        CProjectDocBase* doc = GetProjectDoc();
        if (ui) {
            ui->Enable(doc != nullptr);
        } else if (doc) {
            const bool isTemplate = HasTemplateExtension(doc->GetPathName());
            const std::string type = isTemplate || !m_pWorkspaceTemplate
                ? LoadString(IDS_TEMPLATE_TYPE)
                : m_pWorkspaceTemplate->GetDocString(CProjectTemplateBase::regFileTypeName);
            ShowFileProperties(m_pMainWnd, *doc, isTemplate ? kTemplateResources : IDS_WORKSPACE_DOC_STRINGS, type);
        }
        return true;
    }
    case ID_FILE_MRU_FILE1:
    case ID_FILE_MRU_FILE1 + 1:
    case ID_FILE_MRU_FILE1 + 2:
    case ID_FILE_MRU_FILE4: {
        const std::size_t index = id - ID_FILE_MRU_FILE1;
        if (ui) {
            ui->Enable(index < m_recentFiles.Files().size());
            ui->SetText(index < m_recentFiles.Files().size() ? m_recentFiles.MenuText(index) : "Recent File");
        } else {
            OpenRecentFile(index);
        }
        return true;
    }
    case ID_CONTEXT_HELP:
        // What's This?: the next click on a window asks it for its help.
        if (ui) ui->Enable(!QWhatsThis::inWhatsThisMode()); else QWhatsThis::enterWhatsThisMode();
        return true;
    case ID_APP_ABOUT:
        if (ui) ui->Enable(); else RunAboutBox();
        return true;
    case ID_HELP_TIP:
        if (ui) ui->Enable(); else RunTipOfTheDay();
        return true;
    }
    return CProjectAppBase::OnCmdMsg(id, ui);
}

// ---------------------------------------------------------------------------
// Settings

std::optional<COLORREF> CMXApp::ParseColour(std::string_view text)
{
    std::size_t pos = 0;
    long rgb[3];
    for (long& v : rgb)
        if (!ScanInt(text, pos, v) || v < 0 || v > 255)
            return std::nullopt;
    return RGB(int(rgb[0]), int(rgb[1]), int(rgb[2]));
}

std::string CMXApp::FormatColour(COLORREF c)
{
    return std::to_string(GetRValue(c)) + " " + std::to_string(GetGValue(c)) + " " + std::to_string(GetBValue(c));
}

bool CMXApp::ParseFont(std::string_view text, LOGFONT& font)
{
    std::size_t pos = 0;
    long v[6];
    for (long& x : v)
        if (!ScanInt(text, pos, x))
            return false;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    font.lfWeight = LONG(v[0]);
    font.lfItalic = BYTE(v[1]);
    font.lfUnderline = BYTE(v[2]);
    font.lfStrikeOut = BYTE(v[3]);
    font.lfCharSet = BYTE(v[4]);
    font.lfPitchAndFamily = BYTE(v[5]);
    // The face field holds 31 characters and its terminator; a longer name is cut.
    std::string face(text.substr(pos));
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, face.data(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return true;
}

std::string CMXApp::FormatFont(const LOGFONT& f)
{
    return std::to_string(f.lfWeight) + " " + std::to_string(int(f.lfItalic)) + " " + std::to_string(int(f.lfUnderline))
        + " " + std::to_string(int(f.lfStrikeOut)) + " " + std::to_string(int(f.lfCharSet)) + " "
        + std::to_string(int(f.lfPitchAndFamily)) + " " + std::string(f.lfFaceName);
}

COLORREF CMXApp::GetProfileColour(const char* section, const char* entry, COLORREF defaultColour) const
{
    return ParseColour(GetProfileString(section, entry)).value_or(defaultColour);
}

void CMXApp::WriteProfileColour(const char* section, const char* entry, COLORREF colour) const
{
    WriteProfileString(section, entry, FormatColour(colour).c_str());
}

bool CMXApp::GetProfileFont(const char* section, const char* entry, LOGFONT& font) const
{
    LOGFONT parsed = font;
    if (!ParseFont(GetProfileString(section, entry), parsed))
        return false;
    font = parsed;
    return true;
}

void CMXApp::WriteProfileFont(const char* section, const char* entry, const LOGFONT& font) const
{
    WriteProfileString(section, entry, FormatFont(font).c_str());
}

void CMXApp::LoadSettings()
{
    CProjectAppBase::LoadSettings();
    LoadLocaleChars();
    const QPalette palette = QApplication::palette();
    const COLORREF grey = FromQColor(palette.color(QPalette::Disabled, QPalette::Text));
    const COLORREF text = FromQColor(palette.color(QPalette::WindowText));
    const COLORREF face = FromQColor(palette.color(QPalette::Button));
    const char* section = "Data Table Preferences";
    m_tableColours[ColorTextNoEdit] = GetProfileColour(section, "ColorTextNoEdit", grey);
    m_tableColours[ColorTextRowCol] = GetProfileColour(section, "ColorTextRowCol", text);
    m_tableColours[ColorTextHeading] = GetProfileColour(section, "ColorTextHeading", text);
    m_tableColours[ColorText] = GetProfileColour(section, "ColorText", text);
    m_tableColours[ColorGrid] = GetProfileColour(section, "ColorGrid", face);
    m_tableColours[ColorTextLocked] = GetProfileColour(section, "ColorTextLocked", grey);
    m_nTableTextSize = std::clamp(GetProfileInt(section, "TextSize", 100), 10, 1000);
    GetProfileFont(section, "Font", m_tableFont);
    m_bTableChanged = false;

        // Author, icon size, directories and data filters.
    Preferences().Load();
    m_bSettingsLoaded = true;
    CMXDoc::s_author = Preferences().m_authorName;
    ApplyLibraryFolders();

    // New tables start with the table preferences.
    ApplyTableDefaults();

    // The installed data filters, asked again whenever the list changes.
    CDataFilters::Current().Query(Preferences().m_filters);
}

void CMXApp::ApplyTableDefaults()
{
    CMXGrid::NewTableDefaults& d = CMXGrid::s_defaults;
    d.colours = {m_tableColours[ColorTextNoEdit], m_tableColours[ColorTextRowCol], m_tableColours[ColorTextHeading],
                 m_tableColours[ColorTextLocked]};
    d.gridColour = m_tableColours[ColorGrid];
    d.textColour = m_tableColours[ColorText];
    d.backColour = FromQColor(QApplication::palette().color(QPalette::Base));
    if (m_tableFont.lfFaceName[0] != '\0')
        d.font = m_tableFont;
    else
        d.font.reset();
    d.textSize = m_nTableTextSize;
    // The font page's "Save as Defaults" starts from the same font.
    DefaultFontSetting& font = CFontPage::ApplicationDefaultFont();
    font.font = m_tableFont;
    font.sizeTenthsPoint = m_nTableTextSize;
}

void CMXApp::SetDefaultTableFont(const LOGFONT& font, int sizeTenthsPoint)
{
    m_tableFont = font;
    m_nTableTextSize = std::clamp(sizeTenthsPoint, 10, 1000);
    m_bTableChanged = true;
    ApplyTableDefaults();
}

void CMXApp::SaveSettings()
{
    const char* section = "Data Table Preferences";
    if (m_bTableChanged) {
        const char* names[6] = {"ColorTextNoEdit", "ColorTextRowCol", "ColorTextHeading",
                                "ColorText",       "ColorGrid",       "ColorTextLocked"};
        for (int i = 0; i < 6; ++i)
            WriteProfileColour(section, names[i], m_tableColours[i]);
        WriteProfileInt(section, "TextSize", m_nTableTextSize);
        WriteProfileFont(section, "Font", m_tableFont);
    }
    // Directories are written even when empty, so that one the user cleared stays cleared.
    Preferences().Save();
}
