// The font toolbar of the main window: it talks to the active view through
// CCharFormatView and refills its font names when the printer changes (it is
// one of the printer windows, which hear "MarloxPrinterChanged").
#pragma once

#include "ui/widgets/FontToolBar.h"

#include <functional>
#include <vector>

class CMainToolBar : public CFontToolBar {
    Q_OBJECT
public:
    explicit CMainToolBar(QWidget* parent = nullptr);
    ~CMainToolBar() override;

    // How the toolbar finds the active view (the main window supplies it).
    void SetActiveViewProvider(std::function<QWidget*()> provider) { m_provider = std::move(provider); }

    QWidget* GetActiveView() override;
    void SetCharFormat(const CHARFORMAT& format) override;
    bool GetCharFormat(CHARFORMAT& format) override;

    // Every main toolbar alive, in creation order.
    static const std::vector<CMainToolBar*>& ToolBars();
    // After the printer selection changed: every toolbar refills its font names.
    static void PrinterChanged();

protected:
    bool event(QEvent* event) override;

private:
    std::function<QWidget*()> m_provider;
};
