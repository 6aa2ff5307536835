#include "app/widgets/MXApp.h"

#include "app/DesktopIntegration.h"
#include "app/HelpTopicMap.h"
#include "app/MXCommandLineInfo.h"
#include "app/MXDoc.h"
#include "app/SingleInstanceChannel.h"
#include "app/TipFile.h"
#include "app/widgets/AboutBox.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/SplashBox.h"
#include "app/widgets/TipDlg.h"
#include "app/MXProjectItem.h"
#include "app/widgets/DesktopClipboard.h"
#include "app/widgets/MXListViewBar.h"
#include "app/widgets/MXMainWnd.h"
#include "app/widgets/MXTemplate.h"
#include "app/widgets/MessageBoxReporter.h"
#include "app/widgets/NotepadProjectWnd.h"
#include "app/widgets/TableProjectWnd.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "app/MXGrid.h"
#include "app/Preferences.h"
#include "data/DataFilters.h"
#include "framework/Profile.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "platform/StringTable.h"
#include "ui/widgets/CommandImages.h"
#include "ui/widgets/CommentRichEditCtrl.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPalette>
#include <QWhatsThis>

#include <cstring>
#include <filesystem>
#include <iostream>

namespace {

constexpr UINT IDS_MAKER = 108;
constexpr UINT IDS_WORKSPACE_STRINGS = 129;
constexpr const char* kNotepadStrings = "\nNotes\nNotes\n\n\n\n";
constexpr const char* kTableStrings = "\nData\nData\n\n\n\n";

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

bool IsExistingDirectory(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

std::string ExistingDirectory(const std::string& path) { return IsExistingDirectory(path) ? path : std::string(); }

CMXApp* s_mxApp = nullptr;

} // namespace

CMXApp* GetMXApp() { return s_mxApp; }

CMXApp::CMXApp()
{
    s_mxApp = this;
    m_tableFont.lfPitchAndFamily = 0x22;
    std::strncpy(m_tableFont.lfFaceName, "Arial", LF_FACESIZE - 1);
}

CMXApp::~CMXApp()
{
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
    if (info.m_nShellCommand == CMXCommandLineInfo::FileOpen || m_bNewFromTemplate)
        m_strFileToOpen = info.m_strFileName;
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
    DDERequest request = ParseDDECommand(command);
    if (request.path.empty())
        return false;
    if (m_pMainWnd) {
        m_pMainWnd->showNormal();
        m_pMainWnd->raise();
        m_pMainWnd->activateWindow();
    }
    if (request.kind == DDERequest::newFromTemplate)
        return OpenFromTemplate(request.path);
    return OpenWorkspace(request.path);
}

bool CMXApp::InitInstance(const QStringList& arguments)
{
    // The column types ask their settings through the program's dialogs.
    static CColumnTypeEditor columnTypeEditor;
    SetColumnSettingsEditor(&columnTypeEditor);
    InstallFontSubstitutes();
    CProfile::SetRegistryKey(LoadString(IDS_MAKER));

    m_pReporter = std::make_unique<CMessageBoxReporter>();
    m_pOldReporter = SetReporter(m_pReporter.get());
    m_pClipboard = std::make_unique<CDesktopClipboard>();
    m_pOldClipboard = SetClipboard(m_pClipboard.get());

    ParseCommandLine(arguments);
    if (m_bInstallDesktop) {
        RunDesktopInstall(QCoreApplication::applicationFilePath().toStdString(), std::cerr);
        m_bHandedOver = true;
        return false;
    }
    // A second start hands its file to the copy that runs, and ends.
    const QString channelName = CSingleInstanceChannel::DefaultName();
    if (CSingleInstanceChannel::IsRunning(channelName)) {
        if (!m_strHandOver.empty() && CSingleInstanceChannel::Send(channelName, m_strHandOver)) {
            m_bHandedOver = true;
            return false;
        }
    } else {
        m_pChannel = std::make_unique<CSingleInstanceChannel>(channelName);
        m_pChannel->SetHandler([this](const std::string& command) { return OnInstanceRequest(command); });
        m_pChannel->Listen();
    }
    // The splash window shows while the program starts (not when started minimised).
    if (!m_bStartMinimized)
        ShowSplashWindow();

    LoadSettings();

    m_pWorkspaceTemplate = std::make_unique<CMXTemplate>(
        IDS_WORKSPACE_STRINGS, LoadString(IDS_WORKSPACE_STRINGS),
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
    m_pWorkspaceTemplate->m_onOpened = [this](CProjectDocBase* doc) {
        if (m_pListViewBar)
            m_pListViewBar->SetDocument(doc);
        if (m_pMainWnd) {
            m_pMainWnd->OnUpdateFrameTitle();
            m_pMainWnd->GetRouter().UpdateAll();
        }
    };

    QApplication::setWindowIcon(CCommandImages::GlyphIcon("M", QColor(40, 90, 160)));
    auto* main = new CMXMainWnd;
    m_pMainWnd = main;
    if (!main->Create()) {
        delete main;
        m_pMainWnd = nullptr;
        return false;
    }
    m_pReporter->SetOwner(main);

    const char* path = m_strFileToOpen.empty() || m_bNewFromTemplate ? nullptr : m_strFileToOpen.c_str();
    if (m_bNewFromTemplate) {
        if (!OpenFromTemplate(m_strFileToOpen))
            m_pWorkspaceTemplate->OpenDocumentFile(nullptr, true);
    } else if (!m_pWorkspaceTemplate->OpenDocumentFile(path, true)) {
        // A named file that cannot be read ends the start (its reason was shown).
        DestroySplashWindow();
        return false;
    }
    UpdateMainIcons();
    main->show();
    // The tip of the day when no file was named, else the splash goes at once.
    if (m_strFileToOpen.empty())
        ShowStartupTip();
    else
        DestroySplashWindow();
    return true;
}

int CMXApp::ExitInstance()
{
    m_pChannel.reset();
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
    m_pWorkspaceTemplate.reset();
    SaveSettings();
    SetClipboard(m_pOldClipboard);
    SetReporter(m_pOldReporter);
    m_pClipboard.reset();
    m_pReporter.reset();
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
    // Notepads and data tables have windows so far; the other kinds are listed and stored.
    switch (mx->GetKindFlag()) {
    case KIND_NOTES: return m_pNotepadTemplate.get();
    case KIND_DATA: return m_pTableTemplate.get();
    default: return nullptr;
    }
}

bool CMXApp::OpenWorkspace(const std::string& path)
{
    if (!m_pWorkspaceTemplate)
        return false;
    bool opened = m_pWorkspaceTemplate->OpenDocumentFile(path.c_str(), true) != nullptr;
    UpdateMainIcons();
    return opened;
}

bool CMXApp::OpenFromTemplate(const std::string& path)
{
    if (!m_pWorkspaceTemplate || !m_pWorkspaceTemplate->OpenDocumentFile(path.c_str(), true))
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

void CMXApp::SetLargeIcons(bool large)
{
    if (large == m_bLargeIcons)
        return;
    m_bLargeIcons = large;
    m_bIconStyleChanged = true;
    if (CMXMainWnd* main = GetMainFrame())
        main->OnIconSizeChanged(large);
}

bool CMXApp::OnCmdMsg(UINT id, CCmdUI* ui)
{
    switch (id) {
    case ID_FILE_OPEN:
        if (ui) {
            ui->Enable();
        } else {
            QString path = QFileDialog::getOpenFileName(m_pMainWnd, QString(), QString::fromStdString(m_strCurrentDataDir),
                                                        "Marlox Workspace Files (*.mxf *.MXF);;All Files (*)");
            if (!path.isEmpty())
                OpenWorkspace(path.toStdString());
        }
        return true;
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
    m_nTableTextSize = GetProfileInt(section, "TextSize", 100);
    GetProfileFont(section, "Font", m_tableFont);
    m_bTableChanged = false;

    m_strAuthor = GetProfileString("User Info", "Author Name");
    CMXDoc::s_author = m_strAuthor;
    m_bLargeIcons = GetProfileInt("Preferences", "LargeIcons", 0) != 0;
    m_bIconStyleChanged = false;

    // A group folder set for the whole machine serves users who set none of their own.
    auto pair = [](const char* userEntry, const char* groupEntry, std::string& user, std::string& group) {
        user = ExistingDirectory(GetProfileString("Preferences", userEntry));
        group = ExistingDirectory(GetProfileString("Preferences", groupEntry));
        if (group.empty())
            group = ExistingDirectory(GetMachineProfileString("Preferences", groupEntry));
    };
    pair("User Template Directory", "Group Template Directory", m_strUserTemplateDir, m_strGroupTemplateDir);
    pair("User Item Directory", "Group Item Directory", m_strUserItemDir, m_strGroupItemDir);
    m_strDataDir = ExistingDirectory(GetProfileString("Preferences", "Data Directory"));
    m_strCurrentDataDir = m_strDataDir;
    pair("User HardEquation Directory", "Group HardEquation Directory", m_strUserHardEqnDir, m_strGroupHardEqnDir);

    // New tables start with the table preferences.
    CMXGrid::s_defaults.colours = {m_tableColours[ColorTextNoEdit], m_tableColours[ColorTextRowCol],
                                   m_tableColours[ColorTextHeading], m_tableColours[ColorTextLocked]};

    // The installed data filters, asked again whenever the list changes.
    CPreferences& preferences = CPreferences::Current();
    preferences.LoadFilters();
    CDataFilters::Current().Query(preferences.m_filters);
    preferences.m_onFiltersChanged = [] { CDataFilters::Current().Query(CPreferences::Current().m_filters); };
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
    WriteProfileString("User Info", "Author Name", m_strAuthor.c_str());
    if (m_bIconStyleChanged)
        WriteProfileInt("Preferences", "LargeIcons", m_bLargeIcons ? 1 : 0);
    auto write = [](const char* entry, const std::string& dir) {
        if (!dir.empty())
            WriteProfileString("Preferences", entry, dir.c_str());
    };
    write("User Template Directory", m_strUserTemplateDir);
    write("Group Template Directory", m_strGroupTemplateDir);
    write("User Item Directory", m_strUserItemDir);
    write("Group Item Directory", m_strGroupItemDir);
    if (IsExistingDirectory(m_strDataDir))
        write("Data Directory", m_strDataDir);
    write("User HardEquation Directory", m_strUserHardEqnDir);
    write("Group HardEquation Directory", m_strGroupHardEqnDir);
}
