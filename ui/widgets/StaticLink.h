// A static text that is a hyperlink: blue and underlined, purple once it has
// been followed, with the hand cursor. Clicking opens its target (its own
// text when it has none).
#pragma once

#include <QLabel>

#include <functional>

class CStaticLink : public QLabel {
    Q_OBJECT
public:
    static constexpr QRgb kUnvisited = 0x0000FF; // blue
    static constexpr QRgb kVisited = 0x800080;   // purple

    explicit CStaticLink(const QString& target = {}, QWidget* parent = nullptr);

    const QString& GetTarget() const { return m_link; }
    void SetTarget(const QString& target) { m_link = target; }
    bool IsVisited() const { return m_bVisited; }
    QColor GetLinkColour() const;

    // Opens the target: false for an empty one or when opening failed (with a beep).
    bool Open();

    // How targets are opened (the desktop's default handler); tests replace it.
    using Opener = std::function<bool(const QString& target)>;
    static void SetOpener(Opener opener);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void UpdateLook();

    QString m_link;
    bool m_bVisited = false;
};
