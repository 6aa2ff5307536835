// The "Standard" toolbar with its zoom box. The zoom box reads what the user
// typed as a percentage, keeps it within what views can draw, and hands it to
// the active view; while the user is elsewhere it shows the active view's zoom.
#pragma once

#include <QComboBox>
#include <QToolBar>

#include <functional>
#include <string_view>

// A view that can be zoomed (drawing and page views).
class CZoomView {
public:
    virtual ~CZoomView() = default;
    virtual int GetZoom() const = 0;
    virtual void SetZoom(int percent) = 0;
};

class CZoomComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kMinZoom = 5;
    static constexpr int kMaxZoom = 600;
    explicit CZoomComboBox(QWidget* parent = nullptr);
    // The percentage a typed text stands for: a whole number with optional
    // blanks and one "%" after it; other trailing text counts as 100, an empty
    // text as -1; the result is kept within 5..600.
    static int ZoomFromText(std::string_view text);
    // Reads the edit text, shows it in the canonical form and returns it.
    int Commit();

signals:
    void zoomChosen(int percent);

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

class CStandardToolBar : public QToolBar {
    Q_OBJECT
public:
    explicit CStandardToolBar(const QString& title, QWidget* parent = nullptr);
    // Adds the zoom box at the current end of the bar.
    void AddZoomBox();
    CZoomComboBox* ZoomBox() const { return m_zoom; }
    void SetActiveViewProvider(std::function<CZoomView*()> provider) { m_activeView = std::move(provider); }
    CZoomView* GetActiveView() const { return m_activeView ? m_activeView() : nullptr; }
    // Shows the active view's zoom unless the user is typing in the box.
    void UpdateZoom();

private:
    CZoomComboBox* m_zoom = nullptr;
    std::function<CZoomView*()> m_activeView;
};
