#include "ui/widgets/FontToolBar.h"

#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>

#include <cstring>

namespace {

// A face name fits the 32 bytes of a character format with its NUL.
constexpr int kMaxFaceChars = LF_FACESIZE - 1;
constexpr int kMaxSizeChars = 5;

void CopyFace(CHARFORMAT& cf, const std::string& face)
{
    std::memset(cf.szFaceName, 0, sizeof cf.szFaceName);
    std::strncpy(cf.szFaceName, face.c_str(), kMaxFaceChars);
}

}  // namespace

CFontToolBar::CFontToolBar(QWidget* parent) : QToolBar(parent) {}

bool CFontToolBar::Create(QWidget* parent)
{
    if (parent)
        setParent(parent);
    setObjectName(QStringLiteral("Formatting"));
    setWindowTitle(QString::fromStdString(LoadString(IDS_FORMATTING)));

    m_name = new CFontNameCombo(this);
    m_name->setObjectName(QString::number(kFontNameId));
    m_name->setMinimumContentsLength(18);
    m_name->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_name->Fill();
    m_name->LimitText(kMaxFaceChars);
    addWidget(m_name);

    m_size = new CFontSizeCombo(this);
    m_size->setObjectName(QString::number(kFontSizeId));
    m_size->setMinimumContentsLength(4);
    m_size->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_size->LimitText(kMaxSizeChars);
    addWidget(m_size);

    struct EffectButton {
        DWORD effect;
        const char* text;
        QKeySequence::StandardKey key;
    };
    const EffectButton buttons[3] = {{CFE_BOLD, "Bold", QKeySequence::Bold},
                                     {CFE_ITALIC, "Italic", QKeySequence::Italic},
                                     {CFE_UNDERLINE, "Underline", QKeySequence::Underline}};
    for (int i = 0; i < 3; ++i) {
        QAction* action = addAction(tr(buttons[i].text));
        action->setObjectName(buttons[i].text);
        action->setCheckable(true);
        action->setShortcut(buttons[i].key);
        action->setShortcutContext(Qt::WindowShortcut);
        QFont f = action->font();
        f.setBold(i == 0);
        f.setItalic(i == 1);
        f.setUnderline(i == 2);
        action->setFont(f);
        action->setText(QString(tr(buttons[i].text)[0]));
        action->setToolTip(tr(buttons[i].text));
        const DWORD effect = buttons[i].effect;
        connect(action, &QAction::triggered, this, [this, effect] { OnEffect(effect); });
        m_effects[i] = action;
    }

    connect(m_name, &QComboBox::activated, this, &CFontToolBar::OnFaceChosen);
    connect(m_name->GetEdit(), &QLineEdit::editingFinished, this, &CFontToolBar::OnFaceTyped);
    connect(m_size, &QComboBox::activated, this, [this](int) { OnSizeChosen(); });
    connect(m_size->GetEdit(), &QLineEdit::editingFinished, this, &CFontToolBar::OnSizeTyped);
    for (QWidget* w : {static_cast<QWidget*>(m_name), static_cast<QWidget*>(m_name->GetEdit()),
                       static_cast<QWidget*>(m_size), static_cast<QWidget*>(m_size->GetEdit())})
        w->installEventFilter(this);
    return true;
}

QWidget* CFontToolBar::GetActiveView() { return nullptr; }

QAction* CFontToolBar::EffectAction(DWORD effect) const
{
    switch (effect) {
    case CFE_BOLD: return m_effects[0];
    case CFE_ITALIC: return m_effects[1];
    case CFE_UNDERLINE: return m_effects[2];
    default: return nullptr;
    }
}

void CFontToolBar::OnEffect(DWORD effect)
{
    // A selection that is only partly bold becomes bold throughout, as word
    // processors do; wholly bold becomes plain.
    CHARFORMAT current;
    const bool known = GetCharFormat(current);
    const bool on = known && (current.dwMask & effect) && (current.dwEffects & effect);
    CHARFORMAT cf;
    cf.dwMask = effect;  // the CFM_ and CFE_ bits of the three effects agree
    cf.dwEffects = on ? 0 : effect;
    SetCharFormat(cf);
    if (QAction* action = EffectAction(effect))
        action->setChecked(!on);
}

void CFontToolBar::SyncToView()
{
    CHARFORMAT cf;
    if (!GetCharFormat(cf))
        return;
    if ((cf.dwMask & CFM_FACE) && (cf.dwMask & CFM_CHARSET))
        m_name->SelectFont(cf.szFaceName, cf.bCharSet);
    if (cf.dwMask & CFM_SIZE) {
        m_size->SetSize(cf.yHeight);
        m_lastValidSize = cf.yHeight;
    }
    for (DWORD effect : {DWORD(CFE_BOLD), DWORD(CFE_ITALIC), DWORD(CFE_UNDERLINE)})
        EffectAction(effect)->setChecked((cf.dwMask & effect) && (cf.dwEffects & effect));
}

void CFontToolBar::UpdateFromView()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == m_name || focus == m_size || m_name->isAncestorOf(focus) || m_size->isAncestorOf(focus)))
        return;
    SyncToView();
}

void CFontToolBar::OnFaceChosen(int index)
{
    const FontDescription* d = m_name->GetDescription(index);
    if (!d)
        return;
    CHARFORMAT cf;
    cf.dwMask = CFM_FACE | CFM_CHARSET;
    CopyFace(cf, d->faceName);
    cf.bCharSet = d->charSet;
    cf.bPitchAndFamily = d->pitchAndFamily;
    m_name->SetModify(false);
    SetCharFormat(cf);
    OnFaceChanged();
}

void CFontToolBar::OnFaceTyped()
{
    if (!m_name->GetModify())
        return;
    m_name->SetModify(false);
    const std::string typed = m_name->currentText().toStdString();
    m_name->SelectOrSetText(typed, true);
    if (typed.empty())
        return;
    CHARFORMAT cf;
    cf.dwMask = CFM_FACE | CFM_CHARSET;
    const FontDescription* d = m_name->GetSelectedDescription();
    if (d && QString::fromStdString(d->faceName).compare(QString::fromStdString(typed), Qt::CaseInsensitive) == 0) {
        CopyFace(cf, d->faceName);
        cf.bCharSet = d->charSet;
        cf.bPitchAndFamily = d->pitchAndFamily;
    } else {
        // A face not in the list is still sent as typed.
        CopyFace(cf, typed);
        cf.bCharSet = kDefaultCharSet;
        cf.bPitchAndFamily = 0;
    }
    SetCharFormat(cf);
    OnFaceChanged();
}

void CFontToolBar::OnFaceChanged()
{
    const FontDescription* d = m_name->GetSelectedDescription();
    const std::string face = d ? d->faceName : m_name->currentText().toStdString();
    m_size->Fill(face, d && (d->fontType & kPrinterFontType));
    const int twips = m_size->GetSize();
    if (CheckTypedSize(twips) && twips > 0)
        m_size->SetSize(twips);
}

bool CFontToolBar::CheckTypedSize(int twips)
{
    const UINT id = CFontSizeCombo::CheckSize(twips);
    if (id == 0)
        return true;
    ReportMessage(id, {}, MB_OK | MB_ICONINFORMATION);
    m_size->SetSize(m_lastValidSize);
    m_size->SetModify(false);
    return false;
}

void CFontToolBar::OnSizeChosen()
{
    m_size->SetModify(false);
    const int twips = m_size->GetSize();
    if (!CheckTypedSize(twips) || twips < 1)
        return;
    CHARFORMAT cf;
    cf.dwMask = CFM_SIZE;
    cf.yHeight = twips;
    m_lastValidSize = twips;
    SetCharFormat(cf);
}

void CFontToolBar::OnSizeTyped()
{
    if (!m_size->GetModify())
        return;
    OnSizeChosen();
}

void CFontToolBar::FocusView()
{
    if (QWidget* view = GetActiveView())
        view->setFocus();
}

bool CFontToolBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QToolBar::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    QComboBox* combo = (watched == m_name || watched == m_name->GetEdit()) ? static_cast<QComboBox*>(m_name)
                                                                             : static_cast<QComboBox*>(m_size);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (combo == m_name)
            OnFaceTyped();
        else
            OnSizeTyped();
        FocusView();
        return true;
    case Qt::Key_Escape:
        if (combo == m_name)
            m_name->SetModify(false);
        else
            m_size->SetModify(false);
        SyncToView();
        FocusView();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!(key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) && !combo->view()->isVisible()) {
            combo->showPopup();
            return true;
        }
        break;
    default:
        break;
    }
    return QToolBar::eventFilter(watched, event);
}
