// The "Formatting" toolbar: a font-name and a font-size box that show the
// active view's character format and send the user's choices to it.
#pragma once

#include "platform/Types.h"

#include <QToolBar>

class QAction;

class CFontNameCombo;
class CFontSizeCombo;

class CFontToolBar : public QToolBar {
    Q_OBJECT
public:
    // Command ids of the two boxes (their object names).
    static constexpr int kFontNameId = 43017;
    static constexpr int kFontSizeId = 43016;

    explicit CFontToolBar(QWidget* parent = nullptr);

    // Builds the boxes and fills them; false when that fails.
    virtual bool Create(QWidget* parent);

    // Shows the view's format in the boxes (not while the user is typing in them).
    virtual void SyncToView();
    virtual QWidget* GetActiveView();
    // Sends a format to the view / reads the view's format.
    virtual void SetCharFormat(const CHARFORMAT& format) {}
    virtual bool GetCharFormat(CHARFORMAT& format) { return false; }

    // The bold, italic and underline buttons (checked while the view's
    // selection has that effect throughout).
    QAction* EffectAction(DWORD effect) const;
    // Toggles one effect of the view's selection.
    void OnEffect(DWORD effect);

    CFontNameCombo* NameCombo() const { return m_name; }
    CFontSizeCombo* SizeCombo() const { return m_size; }
    int LastValidSize() const { return m_lastValidSize; }

    // The idle update: syncs unless the focus is in one of the boxes.
    void UpdateFromView();

    // Command handlers (public so that menus and tests reach them).
    void OnFaceChosen(int index);
    void OnFaceTyped();
    void OnSizeChosen();
    void OnSizeTyped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnFaceChanged();
    // Refuses a bad size with its message and shows the last valid one;
    // true when the size may be used.
    bool CheckTypedSize(int twips);
    void FocusView();

    CFontNameCombo* m_name = nullptr;
    CFontSizeCombo* m_size = nullptr;
    QAction* m_effects[3] = {};
    int m_lastValidSize = 0;
};
