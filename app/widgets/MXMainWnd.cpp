#include "app/widgets/MXMainWnd.h"

#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXHardEquation.h"
#include "app/MXResult.h"
#include "app/MXTransform.h"
#include "fitting/WorkerThread.h"
#include "app/MXItemAdd.h"
#include "app/MXNotes.h"
#include "app/MXProjectItem.h"
#include "app/Preferences.h"
#include "app/widgets/ConvertFileDlg.h"
#include "app/widgets/DataView.h"
#include "app/HelpTopicMap.h"
#include "app/ItemIconTexts.h"
#include "app/widgets/MXHelp.h"
#include "app/widgets/TableProjectWnd.h"
#include "draw/DrawTypes.h"
#include "draw/widgets/DrawCommands.h"
#include "app/widgets/MXApp.h"
#include "data/DataFilters.h"
#include "app/widgets/MXListViewBar.h"
#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/widgets/CommandIds.h"
#include "framework/widgets/ChangeIconDlg.h"
#include "framework/widgets/HeaderFooterSetupDialog.h"
#include "framework/widgets/ImageListImages.h"
#include "framework/widgets/NewTemplateSheet.h"
#include "framework/widgets/ProjectFrameBase.h"
#include "framework/widgets/ProjectTemplateBase.h"
#include "platform/Reporter.h"
#include "platform/StringTable.h"
#include "platform/widgets/FileChooser.h"
#include "ui/widgets/MultiDefaultFileDialog.h"
#include "ui/widgets/CharFormatView.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/MainToolBar.h"
#include "ui/widgets/StandardToolBar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <tuple>

#include <atomic>

namespace {

std::atomic<CMXMainWnd*> s_mainWnd{nullptr};

// View > Zoom: 25%, 50%, 75%, 100%, 120%, 150% and 200%.
constexpr UINT kFirstZoomCommand = 32985;

// The zoom box's hold on the active table's grid, which zooms in its own way.
class TableZoom : public CZoomView {
public:
    int GetZoom() const override { return view ? view->GetZoomPercent() : 100; }
    void SetZoom(int percent) override
    {
        if (view)
            view->SetZoomPercent(percent);
    }
    QPointer<CDataView> view;
};

QString Text(UINT id) { return QString::fromStdString(LoadString(id)); }

} // namespace

CMXMainWnd::CMXMainWnd()
{
    setObjectName("MainWindow");
    s_mainWnd = this;
    // Fits post from their worker threads: the notices travel as queued
    // events carrying the item's id (and run), never a pointer.
    SetWorkerMessageSink([](UINT message, std::intptr_t wParam, std::intptr_t lParam) {
        PostBackgroundMessage(int(message), WorkerValueItemId(lParam), int(wParam), lParam);
    });
}

CMXMainWnd::~CMXMainWnd()
{
    CMXMainWnd* self = this;
    if (s_mainWnd.compare_exchange_strong(self, nullptr))
        SetWorkerMessageSink({});
    // Children that outlive this part of the window must not call back into it.
    if (m_standardBar)
        m_standardBar->SetActiveViewProvider({});
    QCoreApplication::removePostedEvents(this, CBackgroundEvent::kType);
}

QAction* CMXMainWnd::Command(UINT id, const QString& text, const QString& prompt,
                             std::initializer_list<QKeySequence> keys, bool checkable)
{
    if (QAction* existing = m_router->Action(id))
        return existing;
    auto* action = new QAction(text, this);
    // The prompt's first line goes to the status bar, the second is the button's tip.
    QStringList lines = prompt.split('\n');
    action->setStatusTip(lines.value(0));
    action->setToolTip(lines.value(1, text).remove('&'));
    if (keys.size() > 0) {
        action->setShortcuts(QList<QKeySequence>(keys));
        action->setShortcutContext(Qt::WindowShortcut);
    }
    action->setCheckable(checkable);
    m_router->Register(action, id);
    addAction(action);
    return action;
}

void CMXMainWnd::CreateToolBars()
{
    // The standard actions wear the user's icon theme where it has them, and
    // the program's own pictures where it does not.
    auto own = [](const char* name) { return CCommandImages::SvgIcon(QString::fromStdString(ActionIconPath(name))); };
    auto theme = [own](const char* name) { return CCommandImages::ThemeIcon(QString::fromLatin1(name), own(name)); };
    const CCommandImages::Strip standard = {
        {ID_FILE_NEW, theme("document-new")},
        {ID_FILE_OPEN, theme("document-open")},
        {ID_FILE_SAVE, theme("document-save")},
        {0, {}},
        {ID_EDIT_CUT, theme("edit-cut")},
        {ID_EDIT_COPY, theme("edit-copy")},
        {ID_EDIT_PASTE, theme("edit-paste")},
        {ID_EDIT_UNDO, theme("edit-undo")},
        {ID_EDIT_REDO, theme("edit-redo")},
        {0, {}},
        {ID_FILE_PRINT, theme("document-print")},
        {ID_HELP_CONTENTS, theme("help-contents")},
        {ID_CONTEXT_HELP, theme("help-whatsthis")},
    };
    const CCommandImages::Strip workspace = {
        {ID_ADD_DATA, CMXListViewBar::KindIcon(KIND_DATA)},
        {ID_ADD_EQUATION, CMXListViewBar::KindIcon(KIND_EQUATION)},
        {ID_ADD_GRAPH, CMXListViewBar::KindIcon(KIND_GRAPH)},
        {ID_ADD_LINEAR, CMXListViewBar::KindIcon(KIND_LINEAR)},
        {ID_ADD_NONLINEAR, CMXListViewBar::KindIcon(KIND_NONLINEAR)},
        {ID_ADD_NOTEPAD, CMXListViewBar::KindIcon(KIND_NOTES)},
        {ID_ADD_TRANSFORM, CMXListViewBar::KindIcon(KIND_TRANSFORM)},
        {0, {}},
        {ID_BAR_LARGE_ICONS, theme("view-grid")},
        {ID_BAR_SMALL_ICONS, theme("view-list")},
    };
    const CCommandImages::Strip format = {
        {ID_FORMAT_BOLD, CCommandImages::ThemeIcon("format-text-bold", CCommandImages::DrawnIcon(CCommandImages::Bold))},
        {ID_FORMAT_ITALIC, CCommandImages::ThemeIcon("format-text-italic", CCommandImages::DrawnIcon(CCommandImages::Italic))},
        {ID_FORMAT_UNDERLINE, CCommandImages::ThemeIcon("format-text-underline", CCommandImages::DrawnIcon(CCommandImages::Underline))},
        {0, {}},
        {ID_FORMAT_ALIGN_LEFT, CCommandImages::ThemeIcon("format-justify-left", CCommandImages::DrawnIcon(CCommandImages::AlignLeft))},
        {ID_FORMAT_ALIGN_CENTER, CCommandImages::ThemeIcon("format-justify-center", CCommandImages::DrawnIcon(CCommandImages::AlignCenter))},
        {ID_FORMAT_ALIGN_RIGHT, CCommandImages::ThemeIcon("format-justify-right", CCommandImages::DrawnIcon(CCommandImages::AlignRight))},
        {ID_FORMAT_BULLETS, CCommandImages::ThemeIcon("format-list-unordered", CCommandImages::DrawnIcon(CCommandImages::Bullets))},
    };
    const CCommandImages::Strip data = {
        {ID_TABLE_LOCK_COLUMN, own("column-lock")},
        {ID_TABLE_COLUMN_FORMAT, own("column-format")},
        {0, {}},
        {CDataView::CommandOfType(18), own("column-associated-value")},
    };
    const CCommandImages::Strip drawing = {
        {ID_DRAW_SELECT, theme("edit-select")},
        {ID_DRAW_LINE, theme("draw-line")},
        {ID_DRAW_RECT, theme("draw-rectangle")},
        {ID_DRAW_ROUNDRECT, own("draw-rectangle-round")},
        {ID_DRAW_ELLIPSE, theme("draw-ellipse")},
        {ID_DRAW_POLYGON, theme("draw-polygon")},
        {ID_DRAW_TEXT, theme("draw-text")},
        {0, {}},
        {ID_COLOR_TARGET_FILL, theme("format-fill-color")},
        {ID_COLOR_TARGET_LINE, theme("format-stroke-color")},
        {ID_COLOR_TARGET_TEXT, theme("format-text-color")},
        {ID_COLOR_ON_OFF, own("format-color-none")},
    };
    // The first strip that shows a command gives the command its picture everywhere.
    m_images.LoadToolbar(standard);
    m_images.LoadToolbar(drawing);
    m_images.LoadToolbar(workspace);
    m_images.LoadToolbar(format);
    m_images.LoadToolbar(data);
    // Commands of the Add menu that no toolbar shows still wear their kind's picture there.
    m_images.LoadToolbar({{ID_ADD_HARD_EQUATION, CMXListViewBar::KindIcon(KIND_HARD_EQUATION)},
                          {ID_FILE_ADD_STOCK, CMXListViewBar::KindIcon(0)}});

    m_standardBar = new CStandardToolBar(QString::fromStdString(LoadString(IDS_STANDARD_BAR)), this);
    m_workspaceBar = new QToolBar(Text(IDS_WORKSPACE_BAR), this);
    m_workspaceBar->setObjectName("Workspace");
    // The formatting bar: face and size boxes, then the effects and paragraph
    // buttons of the Format menu (the bar's own effect buttons would take the
    // menu's shortcuts, so they leave the bar).
    m_formatBar = new CMainToolBar(this);
    m_formatBar->Create(this);
    for (DWORD effect : {DWORD(CFE_BOLD), DWORD(CFE_ITALIC), DWORD(CFE_UNDERLINE)})
        if (QAction* own = m_formatBar->EffectAction(effect)) {
            own->setShortcut({});
            m_formatBar->removeAction(own);
        }
    m_formatBar->SetActiveViewProvider([this] { return GetCharFormatView(); });
    m_dataBar = new QToolBar(QString::fromStdString(LoadString(IDS_DATA_BAR)), this);
    m_dataBar->setObjectName("Data");
    m_drawingBar = new QToolBar(Text(IDS_DRAWING_TOOLS), this);
    m_drawingBar->setObjectName("Drawing");
    auto fill = [this](QToolBar* bar, const CCommandImages::Strip& strip) {
        for (const auto& [id, icon] : strip) {
            if (id == 0) {
                bar->addSeparator();
            } else if (QAction* action = m_router->Action(id)) {
                bar->addAction(action);
            }
        }
    };
    fill(m_standardBar, standard);
    m_standardBar->addSeparator();
    m_standardBar->AddZoomBox();
    fill(m_workspaceBar, workspace);
    fill(m_formatBar, format);
    fill(m_dataBar, data);
    fill(m_drawingBar, drawing);
    addToolBar(Qt::TopToolBarArea, m_standardBar);
    addToolBar(Qt::TopToolBarArea, m_formatBar);
    addToolBar(Qt::TopToolBarArea, m_dataBar);
    addToolBar(Qt::TopToolBarArea, m_drawingBar);
    addToolBar(Qt::LeftToolBarArea, m_workspaceBar);
    CreateColourBar();
    CreateGraphBar();
    OnIconSizeChanged(GetMXApp() && GetMXApp()->GetLargeIcons());
}

// The commands that arrange the objects of a graph page, as the Object menu has them.
const UINT kGraphBarCommands[] = {ID_ALIGN_LEFT, ID_ALIGN_RIGHT, ID_ALIGN_TOP, ID_ALIGN_BOTTOM,
                                  ID_ALIGN_VERT_CENTER, ID_ALIGN_HORZ_CENTER, 0, ID_OBJECT_GROUP,
                                  ID_OBJECT_UNGROUP, 0, ID_OBJECT_MOVE_TO_FRONT, ID_OBJECT_MOVE_TO_BACK,
                                  ID_OBJECT_MOVE_FORWARD, ID_OBJECT_MOVE_BACK};

namespace {

// The arranging pictures, drawn on the 32-unit grid of the other drawn
// icons: the guide line the objects move to, or two overlapping cards.
QByteArray ArrangeSvg(UINT id)
{
    const char* line = "stroke='#33415c' stroke-width='2'";
    const char* card = "fill='#c9d6ef' stroke='#33415c' stroke-width='1.5'";
    const char* front = "fill='#4a74c9' stroke='#33415c' stroke-width='1.5'";
    QString body;
    auto rect = [&](int x, int y, int w, int h, const char* style) {
        body += QString("<rect x='%1.5' y='%2.5' width='%3' height='%4' %5/>").arg(x).arg(y).arg(w).arg(h).arg(style);
    };
    auto path = [&](const char* d, const char* style) { body += QString("<path d='%1' %2 fill='none'/>").arg(d, style); };
    switch (id) {
    case ID_ALIGN_LEFT: path("M5 3V29", line), rect(7, 7, 18, 7, card), rect(7, 18, 11, 7, card); break;
    case ID_ALIGN_RIGHT: path("M27 3V29", line), rect(7, 7, 18, 7, card), rect(14, 18, 11, 7, card); break;
    case ID_ALIGN_TOP: path("M3 5H29", line), rect(7, 7, 7, 18, card), rect(18, 7, 7, 11, card); break;
    case ID_ALIGN_BOTTOM: path("M3 27H29", line), rect(7, 7, 7, 18, card), rect(18, 14, 7, 11, card); break;
    case ID_ALIGN_VERT_CENTER: rect(6, 6, 8, 20, card), rect(18, 10, 8, 12, card), path("M3 16H29", line); break;
    case ID_ALIGN_HORZ_CENTER: rect(6, 6, 20, 8, card), rect(10, 18, 12, 8, card), path("M16 3V29", line); break;
    case ID_OBJECT_GROUP:
        path("M3 3H29V29H3Z", "stroke='#33415c' stroke-width='1.5' stroke-dasharray='3 2'");
        rect(7, 7, 11, 9, card), rect(14, 16, 11, 9, card);
        break;
    case ID_OBJECT_UNGROUP: rect(3, 3, 12, 10, card), rect(17, 19, 12, 10, card); break;
    case ID_OBJECT_MOVE_TO_FRONT: rect(5, 5, 15, 13, card), rect(12, 14, 15, 13, front); break;
    case ID_OBJECT_MOVE_TO_BACK: rect(12, 14, 15, 13, front), rect(5, 5, 15, 13, card); break;
    case ID_OBJECT_MOVE_FORWARD: rect(5, 5, 15, 13, card), rect(12, 14, 15, 13, front), path("M27 3V10M24 6L27 3L30 6", line); break;
    case ID_OBJECT_MOVE_BACK: rect(12, 14, 15, 13, front), rect(5, 5, 15, 13, card), path("M27 3V10M24 7L27 10L30 7", line); break;
    default: return {};
    }
    return QString("<svg xmlns='http://www.w3.org/2000/svg' width='32' height='32' viewBox='0 0 32 32'>%1</svg>")
        .arg(body)
        .toUtf8();
}

} // namespace

void CMXMainWnd::CreateGraphBar()
{
    // Freedesktop names first, so the user's theme wins where it has them.
    const char* names[] = {"align-horizontal-left", "align-horizontal-right", "align-vertical-top",
                           "align-vertical-bottom", "align-vertical-center", "align-horizontal-center", "",
                           "object-group", "object-ungroup", "", "object-order-front", "object-order-back",
                           "object-order-raise", "object-order-lower"};
    CCommandImages::Strip strip;
    for (std::size_t i = 0; i < std::size(kGraphBarCommands); ++i) {
        UINT id = kGraphBarCommands[i];
        strip.push_back({id, id ? CCommandImages::ThemeIcon(names[i], CCommandImages::SvgIconFromText(ArrangeSvg(id))) : QIcon()});
    }
    m_images.LoadToolbar(strip);
    m_graphBar = new QToolBar(Text(IDS_GRAPH_BAR), this);
    m_graphBar->setObjectName("Graph");
    for (UINT id : kGraphBarCommands) {
        if (id == 0)
            m_graphBar->addSeparator();
        else if (QAction* action = m_router->Action(id))
            m_graphBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_graphBar);
}

void CMXMainWnd::CreateColourBar()
{
    // The colour targets and switch, the sixteen colours, the fourteen greys
    // and Custom Color; each colour button is a swatch of its colour.
    m_colourBar = new QToolBar(Text(IDS_COLOR_BAR), this);
    m_colourBar->setObjectName("Color");
    for (UINT id : {UINT(ID_COLOR_TARGET_FILL), UINT(ID_COLOR_TARGET_LINE), UINT(ID_COLOR_TARGET_TEXT),
                    UINT(ID_COLOR_ON_OFF)})
        if (QAction* action = m_router->Action(id))
            m_colourBar->addAction(action);
    m_colourBar->addSeparator();
    for (int i = 0; i < kPaletteSize; ++i) {
        if (i == 16)
            m_colourBar->addSeparator();
        if (QAction* action = m_router->Action(ID_COLOR_FIRST + UINT(i)))
            m_colourBar->addAction(action);
    }
    m_colourBar->addSeparator();
    if (QAction* custom = m_router->Action(ID_COLOR_CUSTOM))
        m_colourBar->addAction(custom);
    addToolBar(Qt::BottomToolBarArea, m_colourBar);
}

QToolBar* CMXMainWnd::BarOfCommand(UINT id) const
{
    switch (id) {
    case ID_VIEW_STYLE_BAR: return m_formatBar;
    case ID_VIEW_DATA_BAR: return m_dataBar;
    case ID_VIEW_COLOR_BAR: return m_colourBar;
    case ID_VIEW_DRAWING_BAR: return m_drawingBar;
    case ID_VIEW_GRAPH_BAR: return m_graphBar;
    case ID_VIEW_WORKSPACE_BAR: return m_workspaceBar;
    default: return nullptr;
    }
}

CZoomView* CMXMainWnd::GetZoomView()
{
    CProjectFrameBase* frame = GetActiveItemFrame();
    if (!frame)
        return nullptr;
    if (auto* view = dynamic_cast<CZoomView*>(frame->widget()))
        return view;
    if (auto* table = dynamic_cast<CTableProjectWnd*>(frame)) {
        CDataView* view = table->GetDataView();
        if (!view || !view->GetGridData())
            return nullptr;
        if (!m_tableZoom)
            m_tableZoom = std::make_unique<TableZoom>();
        static_cast<TableZoom*>(m_tableZoom.get())->view = view;
        return m_tableZoom.get();
    }
    return nullptr;
}

QWidget* CMXMainWnd::GetCharFormatView() const
{
    CProjectFrameBase* frame = GetActiveItemFrame();
    if (!frame)
        return nullptr;
    // The text the user works in; else the first that shows in the window.
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w = focus; w && frame->isAncestorOf(w); w = w->parentWidget())
        if (dynamic_cast<CCharFormatView*>(w))
            return w;
    if (dynamic_cast<CCharFormatView*>(frame->widget()))
        return frame->widget();
    for (QWidget* w : frame->findChildren<QWidget*>())
        if (dynamic_cast<CCharFormatView*>(w) && w->isVisible())
            return w;
    return nullptr;
}

QWidget* CMXMainWnd::ShowHelpForActiveWindow()
{
    CProjectFrameBase* frame = GetActiveItemFrame();
    CMXApp* app = GetMXApp();
    CProjectTemplateBase* tmpl = frame && app ? app->GetItemTemplate(frame->GetItem()) : nullptr;
    if (!tmpl || IsListActive())
        return CMXHelp::ShowContents(this);
    // An item window's page is keyed by its window resource, as a dialog's is.
    return CMXHelp::MainWindowWinHelp(this, CMXHelp::kResourceHelpBase + tmpl->GetResourceID(), HELP_CONTEXT);
}

void CMXMainWnd::CreateDrawingMenus(QMenuBar* bar)
{
    QMenu* draw = bar->addMenu("&Draw");
    const std::pair<UINT, const char*> tools[] = {
        {ID_DRAW_SELECT, "&Select\tEsc"}, {ID_DRAW_LINE, "&Line"}, {ID_DRAW_RECT, "&Rectangle"},
        {ID_DRAW_ROUNDRECT, "Ro&und Rectangle"}, {ID_DRAW_ELLIPSE, "&Ellipse"}, {ID_DRAW_POLYGON, "&Polygon"},
        {ID_DRAW_TEXT, "&Text"}, {ID_DRAW_GRAPH, "&Graph"}};
    auto* toolGroup = new QActionGroup(this);
    for (const auto& [id, text] : tools) {
        QAction* action = Command(id, text, "Draw with this tool on the graph page", {}, true);
        toolGroup->addAction(action);
        draw->addAction(action);
    }
    draw->addSeparator();
    draw->addAction(Command(ID_DRAW_RESULTS_LISTING, "&Results Listing...", "Place a listing of a fit's parameters on the page\nResults Listing"));
    QMenu* graph = bar->addMenu("&Graph");
    graph->addAction(Command(ID_GRAPH_NEW, "&New Graph...", "Choose a kind of graph and build it with its wizard\nNew Graph"));
    graph->addAction(Command(ID_GRAPH_ADD_DATA, "&Add Data...", "Add a data set to the selected graph\nAdd Data"));
    graph->addAction(Command(ID_GRAPH_AXIS_MANAGER, "A&xis Manager...", "Add, split or remove axes of the selected graph\nAxis Manager"));
    graph->addAction(Command(ID_GRAPH_SHOW_LEGEND, "Show &Legend", "Show or hide the legend of the selected graph\nShow Legend", {}, true));
    QMenu* object = bar->addMenu("O&bject");
    object->addAction(Command(ID_OBJECT_PROPERTIES, "P&roperties...", "Change the style of the selected objects\nProperties", {QKeySequence("Alt+Return")}));
    object->addAction(Command(ID_OBJECT_EDIT_TEXT, "&Edit Text", "Edit the selected text object\nEdit Text"));
    object->addAction(Command(ID_OBJECT_HIDE, "&Hide Object", "Hide the selected objects\nHide Object"));
    object->addSeparator();
    object->addAction(Command(ID_OBJECT_FILL_COLOR, "&Fill Color...", "Choose the fill colour of the selected objects\nFill Color"));
    object->addAction(Command(ID_OBJECT_LINE_COLOR, "&Line Color...", "Choose the line colour of the selected objects\nLine Color"));
    object->addAction(Command(ID_OBJECT_TEXT_COLOR, "&Text Color...", "Choose the text colour of the selected objects\nText Color"));
    QMenu* colours = object->addMenu("C&olors");
    auto* targets = new QActionGroup(this);
    for (const auto& [id, text, prompt] :
         {std::tuple{ID_COLOR_TARGET_FILL, "&Fill Color", "Makes the color selections specify the fill color\nFill Color"},
          std::tuple{ID_COLOR_TARGET_LINE, "&Line Color", "Makes the color selections specify the line color\nLine Color"},
          std::tuple{ID_COLOR_TARGET_TEXT, "&Text Color", "Makes the color selections specify the text color\nText Color"}}) {
        QAction* action = Command(id, text, prompt, {}, true);
        targets->addAction(action);
        colours->addAction(action);
    }
    colours->addAction(Command(ID_COLOR_ON_OFF, "Color &On/Off", "Toggles color on/off\nColor On/Off", {}, true));
    colours->addAction(Command(ID_COLOR_CUSTOM, "&Custom Color...", "Selects custom color\nCustom Color"));
    colours->addSeparator();
    for (int i = 0; i < kPaletteSize; ++i) {
        const QString name = QString::fromLatin1(kDrawPaletteNames[std::size_t(i)]);
        QAction* action = Command(ID_COLOR_FIRST + UINT(i), name, name + "\n" + name, {}, true);
        QPixmap swatch(12, 12);
        const COLORREF c = kDrawPalette[std::size_t(i)];
        swatch.fill(QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        action->setIcon(QIcon(swatch));
        colours->addAction(action);
    }
    object->addSeparator();
    QMenu* align = object->addMenu("&Align");
    align->addAction(Command(ID_ALIGN_LEFT, "&Left", "Align the left edges of the selected objects\nAlign Left"));
    align->addAction(Command(ID_ALIGN_RIGHT, "&Right", "Align the right edges of the selected objects\nAlign Right"));
    align->addAction(Command(ID_ALIGN_TOP, "&Top", "Align the top edges of the selected objects\nAlign Top"));
    align->addAction(Command(ID_ALIGN_BOTTOM, "&Bottom", "Align the bottom edges of the selected objects\nAlign Bottom"));
    align->addAction(Command(ID_ALIGN_VERT_CENTER, "&Vert. Center", "Align the vertical centres of the selected objects\nAlign Vertical Centers"));
    align->addAction(Command(ID_ALIGN_HORZ_CENTER, "&Horiz. Center", "Align the horizontal centres of the selected objects\nAlign Horizontal Centers"));
    object->addAction(Command(ID_OBJECT_GROUP, "&Group", "Bind the selected objects into one\nGroup"));
    object->addAction(Command(ID_OBJECT_UNGROUP, "&Ungroup", "Give the selected group's objects back\nUngroup"));
    object->addSeparator();
    object->addAction(Command(ID_OBJECT_MOVE_TO_FRONT, "Bring to &Front", "Bring the selected object to the front\nBring to Front", {QKeySequence("Ctrl++")}));
    object->addAction(Command(ID_OBJECT_MOVE_TO_BACK, "Send to &Back", "Send the selected object to the back\nSend to Back", {QKeySequence("Ctrl+-")}));
    object->addAction(Command(ID_OBJECT_MOVE_FORWARD, "Move For&ward", "Move the selected object one place forward\nMove Forward"));
    object->addAction(Command(ID_OBJECT_MOVE_BACK, "Move Bac&k", "Move the selected object one place back\nMove Back"));
    QMenu* text = bar->addMenu("Te&xt");
    QMenu* orientation = text->addMenu("&Orientation");
    for (const auto& [id, name] : {std::pair{ID_TEXT_HORIZONTAL, "&Horizontal"}, std::pair{ID_TEXT_DIAGONAL_UP, "Diagonal &Up"},
                                   std::pair{ID_TEXT_UP, "&Up"}, std::pair{ID_TEXT_DOWN, "&Down"},
                                   std::pair{ID_TEXT_DIAGONAL_DOWN, "Diagonal Do&wn"}})
        orientation->addAction(Command(id, name, "Turn the selected text\nText Orientation", {}, true));
}

void CMXMainWnd::CreateMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->addAction(Command(ID_FILE_NEW, "&New", "Create a new document\nNew", {QKeySequence("Ctrl+N")}));
    file->addAction(Command(ID_FILE_NEW_FROM_TEMPLATE, "New &From Template...", "Create a new workspace from a template\nNew From Template"));
    file->addAction(Command(ID_FILE_OPEN, "&Open...", "Open an existing document\nOpen", {QKeySequence("Ctrl+O")}));
    file->addAction(Command(ID_FILE_SAVE, "&Save", "Save the active document\nSave", {QKeySequence("Ctrl+S")}));
    file->addAction(Command(ID_FILE_SAVE_AS, "Save &As...", "Save the active document with a new name\nSave As"));
    file->addAction(Command(ID_FILE_PROPERTIES, "Propert&ies", "Show the properties of the workspace\nProperties"));
    file->addSeparator();
    file->addAction(Command(ID_FILE_IMPORT, "&Import Data...", "Read a data file into a new data table\nImport Data"));
    file->addAction(Command(ID_FILE_ADD_STOCK, "Add Stoc&k Item...", "Add an item stored in a file\nAdd Stock Item"));
    file->addAction(Command(ID_FILE_STORE_STOCK, "S&tore Stock Item...", "Store the selected item in a file\nStore Stock Item"));
    file->addAction(Command(ID_FILE_EXPORT_GRAPH, "E&xport Graph...", "Save the graph page as an SVG picture, a PDF document or a PNG image\nExport Graph"));
    file->addSeparator();
    file->addAction(Command(ID_FILE_PAGE_SETUP, "Page Set&up...", "Change the page layout, header and footer of the item\nPage Setup"));
    file->addAction(Command(ID_FILE_PRINT_PREVIEW, "Print Pre&view", "Display full pages\nPrint Preview"));
    file->addAction(Command(ID_FILE_PRINT, "&Print...", "Print the active document\nPrint", {QKeySequence("Ctrl+P")}));
    file->addSeparator();
    for (UINT id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id)
        file->addAction(Command(id, "Recent File", "Open this document"));
    QAction* recentEnd = file->addSeparator();
    // Entries of the recent-file list show only while they name a file.
    connect(file, &QMenu::aboutToShow, this, [this, recentEnd] {
        m_router->UpdateAll();
        bool any = false;
        for (UINT id = ID_FILE_MRU_FILE1; id <= ID_FILE_MRU_FILE4; ++id) {
            const bool used = m_router->Query(id).m_enabled.value_or(false);
            m_router->Action(id)->setVisible(used);
            any = any || used;
        }
        recentEnd->setVisible(any);
    });
    file->addAction(Command(ID_APP_EXIT, "E&xit", "Quit the application; prompts to save documents\nExit"));

    QMenu* edit = bar->addMenu("&Edit");
    edit->addAction(Command(ID_EDIT_UNDO, "&Undo", "Undo the last action\nUndo", {QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    edit->addAction(Command(ID_EDIT_REDO, "&Redo", "Redo the previously undone action\nRedo", {QKeySequence("Ctrl+Y")}));
    edit->addSeparator();
    edit->addAction(Command(ID_EDIT_CUT, "Cu&t", "Cut the selection and put it on the Clipboard\nCut", {QKeySequence("Ctrl+X"), QKeySequence("Shift+Del")}));
    edit->addAction(Command(ID_EDIT_COPY, "&Copy", "Copy the selection and put it on the Clipboard\nCopy", {QKeySequence("Ctrl+C"), QKeySequence("Ctrl+Ins")}));
    edit->addAction(Command(ID_EDIT_PASTE, "&Paste", "Insert Clipboard contents\nPaste", {QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
    edit->addAction(Command(ID_EDIT_CLEAR, "Cle&ar", "Erase the selection\nClear", {QKeySequence(Qt::Key_Delete)}));
    edit->addAction(Command(ID_EDIT_SELECT_ALL, "Select A&ll", "Select the entire document\nSelect All", {QKeySequence("Ctrl+A")}));
    edit->addAction(Command(ID_EDIT_PASTE_OPTIONS, "Paste &Options...", "Paste with an operation, skipping blanks or transposed\nPaste Options"));
    edit->addAction(Command(ID_EDIT_PASTE_FROM, "Paste &From...", "Paste the cells of a data file\nPaste From"));
    edit->addAction(Command(ID_EDIT_COPY_TO, "Cop&y To...", "Write the selected cells to a data file\nCopy To"));
    edit->addAction(Command(ID_EDIT_CURRENT_CELL, "Edit Current C&ell", "Edit the current cell\nEdit Cell", {QKeySequence(Qt::Key_F2 | Qt::SHIFT)}));
    edit->addAction(Command(ID_EDIT_PROPERTIES, "Propertie&s...", "Change the settings of the current column's type\nProperties"));
    edit->addSeparator();
    edit->addAction(Command(ID_ITEM_RENAME, "Rena&me", "Rename the selected item\nRename", {QKeySequence(Qt::Key_F2)}));
    edit->addAction(Command(ID_ITEM_OPEN, "&Open", "Open the selected items\nOpen"));
    edit->addAction(Command(ID_ITEM_ICON, "Change &Icon...", "Choose another icon for the selected item\nChange Icon"));

    QMenu* view = bar->addMenu("&View");
    QMenu* bars = view->addMenu("&Tool Bars");
    QMenu* project = view->addMenu("&Project Window");
    project->addAction(Command(ID_BAR_HIDDEN, "&Hidden", "Hide the Project Window\nHide Project Window", {}, true));
    project->addAction(Command(ID_BAR_NORMAL, "&Normal", "Show the Project Window normal width\nProject Window Normal", {}, true));
    project->addAction(Command(ID_BAR_WIDE, "&Wide", "Show the Project Window extra width\nProject Window Large", {}, true));
    project->addSeparator();
    project->addAction(Command(ID_BAR_LARGE_ICONS, "&Large Icons", "Show large icons in the Project Window\nLarge Icons", {}, true));
    project->addAction(Command(ID_BAR_SMALL_ICONS, "&Small Icons", "Show small icons in the Project Window\nSmall Icons", {}, true));
    QMenu* zoom = view->addMenu("&Zoom");
    const int steps[] = {25, 50, 75, 100, 120, 150, 200};
    for (int i = 0; i < 7; ++i)
        zoom->addAction(Command(kFirstZoomCommand + UINT(i), QString("&%1%").arg(steps[i]),
                                "Show the table at this magnification", {}, true));
    zoom->addAction(Command(ID_VIEW_ZOOM_CUSTOM, "&Custom %...", "Choose the table's magnification\nZoom", {}, true));
    view->addSeparator();
    view->addAction(Command(ID_VIEW_GRID_LINES, "&Grid Lines", "Show or hide the grid on the graph page\nGrid Lines", {}, true));
    view->addAction(Command(ID_VIEW_SHOW_OUTLINES, "Show O&utlines", "Show or hide the frames of text objects\nShow Outlines", {}, true));
    view->addAction(Command(ID_VIEW_PAPER_COLOR, "Paper &Color...", "Choose the colour of the graph page\nPaper Color"));
    // The tabs of the active item form; each is offered while its form shows.
    const std::pair<UINT, const char*> tabs[] = {
        {ID_VIEW_GENERAL, "&General"}, {ID_VIEW_X_VARIABLES, "&X Variables"}, {ID_VIEW_PARAMETERS, "P&arameters"},
        {ID_VIEW_CONSTANTS, "&Constants"}, {ID_VIEW_DEFINITION, "&Definition"}, {ID_VIEW_ESTIMATES, "&Estimates"},
        {ID_VIEW_DATA_TRANSFORMATION, "Data &Transformation"}, {ID_VIEW_CURVE_TRANSFORMATION, "C&urve Transformation"},
        {ID_VIEW_SETTINGS, "&Settings"}, {ID_VIEW_FIT_CONSTANTS, "Co&nstants"}, {ID_VIEW_ESTIMATRIX, "Esti&matrix"},
        {ID_VIEW_FITTING_CRITERIA, "Fitting C&riteria"}, {ID_VIEW_RESULTS, "&Results"},
        {ID_VIEW_NUMBER_FORMAT, "Number F&ormat"}, {ID_VIEW_FONTS, "&Fonts"}, {ID_VIEW_INDENTS, "&Indents"}};
    for (const auto& [id, text] : tabs) {
        QString tab = QString(text).remove('&');
        view->addAction(Command(id, text, QString("Select the %1 tab\n%1").arg(tab), {}, true));
    }
    view->addSeparator();
    view->addAction(Command(ID_OPTIONS, "&Options...", "Change the program's preferences\nOptions"));

    QMenu* add = bar->addMenu("&Add");
    add->addAction(Command(ID_ADD_DATA, "&Data Table", "Add a new data table\nAdd Data Table"));
    add->addAction(Command(ID_ADD_LINEAR, "&Linear Fit", "Add a new linear fit\nAdd Linear Fit"));
    add->addAction(Command(ID_ADD_NONLINEAR, "&Non-linear Fit", "Add a new non-linear fit\nAdd Non-linear Fit"));
    add->addAction(Command(ID_ADD_NOTEPAD, "No&tepad", "Add a new notepad\nAdd Notepad"));
    add->addAction(Command(ID_ADD_GRAPH, "&Graph", "Add a new graph\nAdd Graph"));
    add->addAction(Command(ID_ADD_EQUATION, "&Equation", "Add a new equation\nAdd Equation"));
    add->addAction(Command(ID_ADD_TRANSFORM, "T&ransformation", "Add a new transformation\nAdd Transformation"));
    add->addAction(Command(ID_ADD_HARD_EQUATION, "&Hard-coded Equation", "Add a new hard-coded equation\nAdd Hard-coded Equation"));

    QMenu* format = bar->addMenu("F&ormat");
    format->addAction(Command(ID_FORMAT_BOLD, "&Bold", "Make the selection bold\nBold", {QKeySequence("Ctrl+B")}, true));
    format->addAction(Command(ID_FORMAT_ITALIC, "&Italic", "Make the selection italic\nItalic", {QKeySequence("Ctrl+I")}, true));
    format->addAction(Command(ID_FORMAT_UNDERLINE, "&Underline", "Underline the selection\nUnderline", {QKeySequence("Ctrl+U")}, true));
    format->addAction(Command(ID_FORMAT_PLAIN, "&Plain Text", "Remove bold, italic, underline and bullets\nPlain"));
    format->addSeparator();
    format->addAction(Command(ID_FORMAT_ALIGN_LEFT, "Align &Left", "Align the paragraph to the left\nAlign Left", {}, true));
    format->addAction(Command(ID_FORMAT_ALIGN_CENTER, "&Center", "Center the paragraph\nCenter", {}, true));
    format->addAction(Command(ID_FORMAT_ALIGN_RIGHT, "Align &Right", "Align the paragraph to the right\nAlign Right", {}, true));
    format->addAction(Command(ID_FORMAT_BULLETS, "B&ullets", "Insert or remove bullets\nBullets", {}, true));
    format->addSeparator();
    format->addAction(Command(ID_FORMAT_FONT, "&Font...", "Choose the face, size and effects of the selected text\nFont"));
    format->addAction(Command(ID_FORMAT_TEXT_COLOR, "&Text Color...", "Choose the colour of the selected text\nText Color"));

    CreateDrawingMenus(bar);
    // The text colours are the colour bar's commands: the active note or
    // drawing takes them.
    QMenu* textColours = format->addMenu("C&olor");
    for (int i = 0; i < kPaletteSize; ++i)
        textColours->addAction(m_router->Action(ID_COLOR_FIRST + UINT(i)));
    textColours->addSeparator();
    textColours->addAction(m_router->Action(ID_COLOR_CUSTOM));
    QMenu* equation = bar->addMenu("E&quation");
    equation->addAction(Command(ID_EQUATION_COMPILE, "&Compile", "Compile the definition\nCompile", {QKeySequence("Ctrl+F7")}));
    QMenu* calculate = bar->addMenu("&Calculate");
    calculate->addAction(Command(ID_CALCULATE_FIT, "&Fit Data", "Fit the data using the current settings\nFit Data", {QKeySequence("F9")}));
    calculate->addAction(Command(ID_CALCULATE_ABORT, "&Abort Fitting", "Abort the data fitting calculations\nAbort Fitting"));

    QMenu* table = bar->addMenu("&Table");
    table->addAction(Command(ID_TABLE_INSERT_COLUMN, "Insert &Column", "Insert columns before the selection\nInsert Column"));
    table->addAction(Command(ID_TABLE_INSERT_ROW, "Insert &Row", "Insert rows above the selection\nInsert Row"));
    table->addAction(Command(ID_TABLE_INSERT_CELLS, "Insert C&ells", "Insert cells, moving the selection down\nInsert Cells"));
    table->addAction(Command(ID_TABLE_DELETE, "&Delete", "Delete the selection\nDelete"));
    table->addSeparator();
    QMenu* types = table->addMenu("Column &Type");
    QMenu* calculated = nullptr;
    QMenu* fitting = nullptr;
    for (const auto& [id, text] : CDataView::TypeCommands()) {
        const int type = CDataView::TypeOfCommand(id);
        QMenu* into = types;
        if (type == 7 || type == 8)
            into = calculated ? calculated : (calculated = types->addMenu("Calculated &Values"));
        else if (type == 20 || type == 21)
            into = fitting ? fitting : (fitting = types->addMenu("Data &Fitting"));
        into->addAction(Command(id, QString::fromStdString(text), "Set the type of the current column", {}, true));
    }
    table->addAction(Command(ID_TABLE_LOCK_COLUMN, "&Lock Column", "Lock or unlock the selected columns\nLock Column", {}, true));
    table->addAction(Command(ID_TABLE_COLUMN_FORMAT, "Column &Format...", "Change the number format of the selected columns\nColumn Format"));
    table->addAction(Command(ID_TABLE_COLUMN_WIDTH, "Column &Width...", "Change the width of the selected columns\nColumn Width"));
    table->addAction(Command(ID_TABLE_ROW_HEIGHT, "Row &Height...", "Change the height of the selected rows\nRow Height"));
    table->addAction(Command(ID_TABLE_SIZE_TO_FIT, "Si&ze Column to Fit", "Make the selected columns as wide as their widest entry\nSize to Fit"));
    table->addSeparator();
    table->addAction(Command(ID_TABLE_SORT, "&Sort Column(s)...", "Sort the selected columns\nSort"));
    table->addAction(Command(ID_TABLE_GOTO_CELL, "&Go to Cell...", "Move to a cell\nGo to Cell", {QKeySequence("Ctrl+G")}));
    table->addAction(Command(ID_TABLE_PREFERENCES, "Pr&eferences...", "Change the table's font and colours\nPreferences"));

    m_windowMenu = bar->addMenu("&Window");
    m_windowMenu->addAction(Command(ID_WINDOW_NEW, "&New Window", "Open another window for the current item\nNew Window"));
    m_windowMenu->addAction(Command(ID_WINDOW_CASCADE, "&Cascade", "Arrange windows so they overlap\nCascade Windows"));
    m_windowMenu->addAction(Command(ID_WINDOW_TILE_HORZ, "&Tile", "Arrange windows as non-overlapping tiles\nTile Windows"));
    m_windowMenu->addAction(Command(ID_ITEM_CLOSE, "C&lose", "Close the selected item window\nClose Window"));
    m_windowMenu->addAction(Command(ID_WINDOW_CLOSE_ALL, "Close &All", "Close all item windows\nClose All"));
    connect(m_windowMenu, &QMenu::aboutToShow, this, [this] {
        // The open windows, after the fixed commands.
        const QList<QAction*> actions = m_windowMenu->actions();
        for (QAction* a : actions)
            if (a->property("windowEntry").toBool())
                m_windowMenu->removeAction(a), a->deleteLater();
        int n = 0;
        for (CProjectFrameBase* frame : GetFrames()) {
            if (n == 0)
                m_windowMenu->addSeparator()->setProperty("windowEntry", true);
            QAction* a = m_windowMenu->addAction(QString("&%1 %2").arg(++n).arg(frame->windowTitle()));
            a->setProperty("windowEntry", true);
            a->setCheckable(true);
            a->setChecked(frame == GetActiveItemFrame());
            connect(a, &QAction::triggered, this, [this, frame] { GetMdiArea()->setActiveSubWindow(frame); });
        }
    });

    QMenu* help = bar->addMenu("&Help");
    help->addAction(Command(ID_HELP_CONTENTS, "&Contents", "Open the help pages at their contents\nHelp Contents"));
    help->addAction(Command(ID_HELP, "&Help on This Window", "Open the help page of the active window\nHelp", {QKeySequence(Qt::Key_F1)}));
    help->addAction(Command(ID_CONTEXT_HELP, "&What's This?", "Display help for clicked on buttons, menus and windows\nHelp", {QKeySequence("Shift+F1")}));
    help->addAction(Command(ID_HELP_TIP, "&Tip of the Day...", "Display a tip\nTip of the Day"));
    help->addSeparator();
    help->addAction(Command(ID_APP_ABOUT, "&About Marlox...", "Display program information, version number and copyright\nAbout"));

    // Radio groups of the list's width and icon style.
    for (auto ids : {std::initializer_list<UINT>{ID_BAR_HIDDEN, ID_BAR_NORMAL, ID_BAR_WIDE},
                     std::initializer_list<UINT>{ID_BAR_LARGE_ICONS, ID_BAR_SMALL_ICONS}}) {
        auto* group = new QActionGroup(this);
        for (UINT id : ids)
            group->addAction(m_router->Action(id));
    }
    for (const auto& a : actions())
        m_images.Apply(a, m_router->CommandOf(a));
    (void)bars;
}

bool CMXMainWnd::Create()
{
    CMXApp* app = GetMXApp();
    setWindowTitle(QString::fromStdString(GetAppName()));
    resize(1024, 720);
    CreateMenus();
    CreateToolBars();
    for (QAction* a : actions()) {
        m_images.Apply(a, m_router->CommandOf(a));
        // What's This on a button or menu entry tells what its command does.
        if (a->whatsThis().isEmpty() && !a->statusTip().isEmpty())
            a->setWhatsThis(a->statusTip());
    }

    QMenu* bars = nullptr;
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->text() == "&View")
            for (QAction* b : a->menu()->actions())
                if (b->menu() && b->text() == "&Tool Bars")
                    bars = b->menu();
    if (bars) {
        QAction* standard = m_standardBar->toggleViewAction();
        standard->setText("&Standard");
        standard->setStatusTip("Show or hide the Standard toolbar");
        bars->addAction(standard);
        bars->addAction(Command(ID_VIEW_WORKSPACE_BAR, "&Workspace", "Show or hide the workspace toolbar\nToggle Workspace Bar", {}, true));
        bars->addAction(Command(ID_VIEW_DATA_BAR, "&Data", "Show or hide the data toolbar\nToggle Data Bar", {}, true));
        bars->addAction(Command(ID_VIEW_GRAPH_BAR, "&Graph", "Show or hide the graph toolbar\nToggle Graph Bar", {}, true));
        bars->addAction(Command(ID_VIEW_DRAWING_BAR, "D&rawing", "Show or hide the drawing toolbar\nToggle Drawing Bar", {}, true));
        bars->addAction(Command(ID_VIEW_COLOR_BAR, "&Color", "Show or hide the colour bar\nToggle Color Bar", {}, true));
        bars->addAction(Command(ID_VIEW_STYLE_BAR, "&Formatting", "Show or hide the formatting toolbar\nToggle Style Bar", {}, true));
    }

    statusBar()->showMessage(QString::fromStdString(LoadString(IDS_READY)));
    m_calcPane = new QLabel(QString::fromStdString(LoadString(IDS_CALC_INDICATOR)), this);
    m_calcPane->setEnabled(false);
    statusBar()->addPermanentWidget(m_calcPane);
    // The state of the active item ("Compiled"), while its window says one.
    m_statePane = new QLabel(this);
    m_statePane->setObjectName("ItemStatePane");
    m_statePane->hide();
    statusBar()->addPermanentWidget(m_statePane);
    QAction* stateAction = m_router->Register(new QAction(this), ID_INDICATOR_ITEM_STATE);
    connect(stateAction, &QAction::changed, this, [this, stateAction] {
        m_statePane->setText(stateAction->text());
        m_statePane->setVisible(stateAction->isEnabled() && !stateAction->text().isEmpty());
    });

    if (!app || !app->CreateWorkspaceBar(this))
        return false;
    auto* listBar = app->GetListViewBar();
    addDockWidget(Qt::LeftDockWidgetArea, listBar);
    resizeDocks({listBar}, {listBar->DefaultWidth(listBar->GetWidthMode() == 0 ? 1 : listBar->GetWidthMode())},
                Qt::Horizontal);

    // The bars as the user left them.
    std::string state = GetProfileString("Toolbars", "State");
    if (!state.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    if (listBar->GetWidthMode() == 0)
        listBar->hide();

    m_standardBar->SetActiveViewProvider([this]() -> CZoomView* { return GetZoomView(); });
    // The zoom box follows the active view while the user is elsewhere.
    auto* zoomTimer = new QTimer(this);
    zoomTimer->setInterval(250);
    connect(zoomTimer, &QTimer::timeout, this, [this] {
        m_standardBar->UpdateZoom();
        if (CZoomComboBox* box = m_standardBar->ZoomBox())
            box->setToolTip(box->isEnabled() ? Text(IDS_ZOOM_TIP) : Text(IDS_ZOOM_TIP) + " (" + Text(IDS_REASON_NO_ZOOM_VIEW) + ")");
        // The font boxes show the active text's face and size, and only while there is one.
        const bool text = GetCharFormatView() != nullptr;
        for (QWidget* box : {static_cast<QWidget*>(m_formatBar->NameCombo()), static_cast<QWidget*>(m_formatBar->SizeCombo())}) {
            box->setEnabled(text);
            box->setToolTip(text ? QString() : Text(IDS_REASON_NO_TEXT_VIEW));
        }
        if (text && !m_formatBar->isHidden())
            m_formatBar->UpdateFromView();
    });
    zoomTimer->start();
    m_router->UpdateAll();
    return true;
}

void CMXMainWnd::OnIconSizeChanged(bool large)
{
    const QSize size = large ? QSize(24, 24) : QSize(16, 16);
    for (QToolBar* bar : {static_cast<QToolBar*>(m_standardBar), m_workspaceBar, static_cast<QToolBar*>(m_formatBar),
                          m_dataBar, m_drawingBar, m_graphBar, m_colourBar})
        if (bar)
            bar->setIconSize(size);
    for (CProjectFrameBase* frame : GetFrames())
        frame->OnLayoutChanged(large ? 1 : 0);
}

bool CMXMainWnd::OpenItemWindow(CProjectItemBase* item)
{
    auto* mx = dynamic_cast<CMXProjectItem*>(item);
    CMXApp* app = GetMXApp();
    if (mx && app && !app->GetItemTemplate(mx)) {
        std::string kind;
        mx->GetTypeName(kind);
        ReportMessage(IDS_NO_ITEM_WINDOW, {kind}, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return CProjectFrameMDIMain::OpenItemWindow(item);
}

CMXDoc* CMXMainWnd::GetActiveWorkspace() const { return dynamic_cast<CMXDoc*>(GetProjectDoc()); }

void CMXMainWnd::AddItem(UINT id)
{
    CMXDoc* doc = GetActiveWorkspace();
    if (!doc)
        return;
    switch (id) {
    case ID_ADD_NOTEPAD: doc->GetActionList().Add(new CMXItemAddNotepad(doc)); break;
    case ID_ADD_GRAPH: doc->GetActionList().Add(new CMXItemAddGraph(doc)); break;
    case ID_ADD_EQUATION: doc->GetActionList().Add(new CMXItemAddEquation(doc)); break;
    case ID_ADD_TRANSFORM: doc->GetActionList().Add(new CMXItemAddTransform(doc)); break;
    case ID_ADD_HARD_EQUATION: doc->GetActionList().Add(new CMXItemAddHardEquation(doc)); break;
    case ID_ADD_LINEAR: doc->GetActionList().Add(new CMXItemAddLinear(doc)); break;
    case ID_ADD_NONLINEAR: doc->GetActionList().Add(new CMXItemAddNonLinear(doc)); break;
    }
}

CProjectItemBase* CMXMainWnd::GetCommandItem() const
{
    // The item of the active window, else the one item selected in the list.
    if (CProjectFrameBase* frame = GetActiveItemFrame())
        if (frame->GetItem())
            return frame->GetItem();
    CMXDoc* doc = GetActiveWorkspace();
    CItemListCtrl* list = doc ? doc->GetItemListCtrl() : nullptr;
    if (list && list->GetSelectedCount() == 1)
        return list->GetItem(list->GetSelected(0));
    return nullptr;
}

void CMXMainWnd::ImportData()
{
    CMXDoc* doc = GetActiveWorkspace();
    if (!doc)
        return;
    CMXApp* app = GetMXApp();
    FileRequest request;
    request.title = LoadString(IDS_IMPORT_DATA_FROM_FILE);
    request.folder = app ? app->GetDirectory(CPreferences::CurrentDataDir) : std::string();
    request.filters = FilterTextsFromBars(CDataFilters::Current().GetImportFilterString());
    std::optional<FileAnswer> answer = ChooseFile(this, request);
    if (!answer || answer->path.empty())
        return;
    const QString path = QString::fromStdString(answer->path);
    QFileInfo info(path);
    if (app)
        app->Preferences().SetDirectory(CPreferences::CurrentDataDir, info.absolutePath().toStdString());
    doc->GetActionList().Add(new CMXItemAddImportData(
        doc, path.toStdString(), info.suffix().toStdString(), info.completeBaseName().toStdString(),
        [this](const std::vector<std::string>& entries, int preselected) {
            return CConvertFileDlg::Choose(entries, preselected, this);
        }));
}

void CMXMainWnd::StoreStockItem()
{
    CMXDoc* doc = GetActiveWorkspace();
    CItemListCtrl* list = doc ? doc->GetItemListCtrl() : nullptr;
    if (!list || list->GetSelectedCount() != 1)
        return;
    auto* item = dynamic_cast<CMXProjectItem*>(list->GetItem(list->GetSelected(0)));
    if (!item || item->GetStoreIconIndex() <= 1)
        return;
    // Stored items go where Add Stock Item looks: the user's or the group's item folder.
    CMXApp* app = GetMXApp();
    const std::string userDir = app ? app->GetDirectory(CPreferences::UserItemDir) : std::string();
    FileRequest request;
    request.mode = FileRequest::SaveFile;
    request.title = LoadString(IDS_STORE_ITEM);
    request.folderButtons = true;
    request.userFolder = userDir;
    request.groupFolder = app ? app->GetDirectory(CPreferences::GroupItemDir) : std::string();
    request.defaultExtension = "mxc";
    const std::string filter = LoadString(IDS_ITEM_FILTER);  // "Name|*.ext||"
    const std::size_t bar = filter.find('|'), star = filter.find('*', bar), end = filter.find('|', bar + 1);
    if (bar != std::string::npos && star != std::string::npos && end != std::string::npos)
        request.filters = CMultiDefaultFileDialog::FilterTexts({{filter.substr(0, bar), filter.substr(star + 1, end - star - 1)}});
    request.folder = userDir;
    request.name = item->GetName() + ".mxc";
    std::optional<FileAnswer> answer = ChooseFile(this, request);
    if (!answer || answer->path.empty())
        return;
    const QString path = QString::fromStdString(WithDefaultExtension(answer->path, request.defaultExtension));
    try {
        item->SaveToFile(path.toStdString());
    } catch (const std::exception& e) {
        ReportText(e.what());
    }
}

void CMXMainWnd::ChangeItemIcon()
{
    CMXDoc* doc = GetActiveWorkspace();
    CItemListCtrl* list = doc ? doc->GetItemListCtrl() : nullptr;
    if (!list || list->GetSelectedCount() != 1)
        return;
    CProjectItemBase* item = list->GetItem(list->GetSelected(0));
    if (!item)
        return;
    CChangeIconDlg dialog(this, item->m_strIconFile, item->m_nIconSlot != -1 ? item->m_nIconOffset : 0);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::size_t index = std::size_t(std::max(0, dialog.GetIndex()));
    if (index >= dialog.LargeImages().size() || index >= dialog.SmallImages().size())
        return;
    item->m_strIconFile = dialog.GetFileName();
    item->m_nIconOffset = int(index);
    SetItemIcons(*item, dialog.LargeImages()[index], dialog.SmallImages()[index]);
    item->SetModified(true);
    // The row shows the new picture.
    list->SetItemImage(list->GetSelected(0), item->GetIconIndex());
}

void CMXMainWnd::AddStockItem()
{
    CMXDoc* doc = GetActiveWorkspace();
    if (!doc)
        return;
    CMXApp* app = GetMXApp();
    CNewTemplateSheet sheet(app ? app->GetDirectory(CPreferences::UserItemDir) : std::string(),
                            app ? app->GetDirectory(CPreferences::GroupItemDir) : std::string(), this,
                            CNewTemplateSheet::kAddItemMenu, IDS_ADD_ITEM);
    if (sheet.DoModal() == QDialog::Accepted && !sheet.GetChosenPath().empty())
        doc->GetActionList().Add(new CMXItemAddFromStore(doc, sheet.GetChosenPath()));
}

bool CMXMainWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CMXDoc* doc = GetActiveWorkspace();
    CMXApp* app = GetMXApp();
    switch (id) {
    case ID_ADD_NOTEPAD:
    case ID_ADD_GRAPH:
    case ID_ADD_EQUATION:
    case ID_ADD_TRANSFORM:
    case ID_ADD_HARD_EQUATION:
    case ID_ADD_LINEAR:
    case ID_ADD_NONLINEAR:
        if (ui) ui->Enable(doc != nullptr); else AddItem(id);
        return true;
    case ID_FILE_PAGE_SETUP: {
        CProjectItemBase* item = GetCommandItem();
        if (ui) ui->Enable(item != nullptr); else if (item && OnFilePageSetup(*item, this)) {
            // A graph's page takes the new margins and orientation.
            if (auto* graph = dynamic_cast<CMXGraph*>(item))
                graph->ApplyPageSetupToPage();
        }
        return true;
    }
    case ID_ADD_DATA:
        if (ui) ui->Enable(doc != nullptr); else if (doc) doc->GetActionList().Add(new CMXItemAddData(doc));
        return true;
    case ID_FILE_SAVE:
        if (ui) ui->Enable(doc != nullptr); else if (doc && app) app->DoSave(doc, false);
        return true;
    case ID_FILE_SAVE_AS:
        if (ui) ui->Enable(doc != nullptr); else if (doc && app) app->DoSave(doc, true);
        return true;
    case ID_FILE_IMPORT:
        if (ui) ui->Enable(doc != nullptr); else ImportData();
        return true;
    case ID_FILE_ADD_STOCK:
        if (ui) ui->Enable(doc != nullptr); else AddStockItem();
        return true;
    case ID_FILE_STORE_STOCK: {
        CListViewBar* bar = app ? app->GetListViewBar() : nullptr;
        CItemListCtrl* list = doc ? doc->GetItemListCtrl() : nullptr;
        if (ui)
            ui->Enable(list && list->GetSelectedCount() == 1 && !(bar && bar->GetLabelEditor()));
        else
            StoreStockItem();
        return true;
    }
    case ID_ITEM_ICON: {
        CItemListCtrl* list = doc ? doc->GetItemListCtrl() : nullptr;
        if (ui) ui->Enable(list && list->GetSelectedCount() == 1); else ChangeItemIcon();
        return true;
    }
    case ID_VIEW_ZOOM:
        if (ui) {
            ui->Enable(false);
            ui->SetReason(LoadString(IDS_REASON_NO_ZOOM_VIEW));
        }
        return true;
    case ID_VIEW_STYLE_BAR:
    case ID_VIEW_DATA_BAR:
    case ID_VIEW_COLOR_BAR:
    case ID_VIEW_DRAWING_BAR:
    case ID_VIEW_GRAPH_BAR:
    case ID_VIEW_WORKSPACE_BAR: {
        QToolBar* toolbar = BarOfCommand(id);
        if (!toolbar)
            return false;
        if (ui) {
            ui->Enable();
            ui->SetCheck(!toolbar->isHidden());
        } else {
            toolbar->setVisible(toolbar->isHidden());
        }
        return true;
    }
    case ID_ALIGN_LEFT:
    case ID_ALIGN_RIGHT:
    case ID_ALIGN_TOP:
    case ID_ALIGN_BOTTOM:
    case ID_ALIGN_VERT_CENTER:
    case ID_ALIGN_HORZ_CENTER:
    case ID_OBJECT_GROUP:
    case ID_OBJECT_UNGROUP:
    case ID_OBJECT_MOVE_TO_FRONT:
    case ID_OBJECT_MOVE_TO_BACK:
    case ID_OBJECT_MOVE_FORWARD:
    case ID_OBJECT_MOVE_BACK:
    case ID_DRAW_SELECT:
    case ID_DRAW_LINE:
    case ID_DRAW_RECT:
    case ID_DRAW_ROUNDRECT:
    case ID_DRAW_ELLIPSE:
    case ID_DRAW_POLYGON:
    case ID_DRAW_TEXT:
    case ID_DRAW_GRAPH:
    case ID_GRAPH_NEW:
    case ID_GRAPH_ADD_DATA:
    case ID_GRAPH_AXIS_MANAGER:
    case ID_GRAPH_SHOW_LEGEND:
    case ID_DRAW_RESULTS_LISTING: {
        // A graph page's view claims these first; here no graph window is active.
        if (!ui)
            return false;
        const bool arranging = id >= ID_ALIGN_LEFT && id <= ID_OBJECT_MOVE_BACK;
        ui->Enable(false);
        ui->SetReason(LoadString(arranging ? IDS_REASON_NO_GRAPH_VIEW : IDS_REASON_NO_GRAPH_PAGE));
        return true;
    }
    case ID_WINDOW_CLOSE_ALL:
        if (ui) {
            ui->Enable(GetActiveItemFrame() != nullptr);
            ui->SetReason(LoadString(IDS_REASON_NO_ITEM_WINDOW));
        } else {
            CloseAllItemWindows();
        }
        return true;
    case ID_HELP:
    case ID_HELP_CONTENTS:
        if (ui) {
            ui->Enable(CMXHelp::IsHelpAvailable());
            ui->SetReason(LoadString(IDS_REASON_NO_HELP));
        } else if (id == ID_HELP) {
            ShowHelpForActiveWindow();
        } else {
            CMXHelp::ShowContents(this);
        }
        return true;
    }
    return CProjectFrameMDIMain::OnCmdMsg(id, ui);
}

void CMXMainWnd::closeEvent(QCloseEvent* event)
{
    CProjectAppBase* app = CProjectAppBase::GetProjectApp();
    if (app && !app->SaveModified(GetProjectDoc())) {
        event->ignore();
        return;
    }
    if (isVisible())
        WriteProfileString("Toolbars", "State", saveState().toBase64().toStdString().c_str());
    if (isVisible())
        SaveWindowPlacement();
    QMainWindow::closeEvent(event);
}

void CMXMainWnd::PostBackgroundMessage(int kind, int itemId, int code, long long value)
{
    if (CMXMainWnd* main = s_mainWnd.load())
        QCoreApplication::postEvent(main, new CBackgroundEvent(kind, itemId, code, value));
}

void CMXMainWnd::customEvent(QEvent* event)
{
    if (event->type() != CBackgroundEvent::kType) {
        CProjectFrameMDIMain::customEvent(event);
        return;
    }
    auto* e = static_cast<CBackgroundEvent*>(event);
    CMXDoc* doc = GetActiveWorkspace();
    if (!doc)
        return;
    for (CProjectItemBase* item : doc->GetProjectItems()) {
        if (item->GetItemId() != e->itemId)
            continue;
        if (dynamic_cast<CMXResult*>(item)) {
            // Fits: states, progress and messages for the run they name.
            DeliverWorkerMessage(*doc, UINT(e->kind), e->code, std::intptr_t(e->value));
        } else if (e->kind == WM_WORKER_MESSAGE) {
            ReportMessage(UINT(e->code));
        } else if (auto* mx = dynamic_cast<CMXProjectItem*>(item)) {
            mx->OnBackgroundMessage(e->code, e->value);
        }
        return;
    }
    // The item is gone: its calculation's news has no one to go to.
}
