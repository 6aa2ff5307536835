// A combo box listing workspace items by name, each with the small icon the
// workspace list shows for it.
#pragma once

#include <QComboBox>
#include <QIcon>

#include <functional>

class CProjectItemBase;

class CItemComboBox : public QComboBox {
    Q_OBJECT
public:
    using IconProvider = std::function<QIcon(const CProjectItemBase*)>;

    explicit CItemComboBox(QWidget* parent = nullptr, IconProvider icons = {});

    // Rows as tall as the font's line (text and leading), at least 16 pixels for the icons.
    static int RowHeight(const QFontMetrics& metrics);

    // Adds the item under its name; the entry's data is the item. The index of the entry.
    int AddItem(CProjectItemBase* item);
    CProjectItemBase* GetItem(int index) const;
    CProjectItemBase* GetSelectedItem() const { return GetItem(currentIndex()); }
    // Selects the entry of that item; false when it is not listed.
    bool SelectItem(const CProjectItemBase* item);
    QIcon IconOf(const CProjectItemBase* item) const { return m_icons ? m_icons(item) : QIcon(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Delegate;
    IconProvider m_icons;
};
