// The property sheets of a graph and its parts on a graph page: the graph's
// own (frame, fill and line, axis ticks and scales), a dataset's (reached
// through its legend sample), a tick-label block's, the legend box's and a
// results listing's.
// Each page writes itself back on Apply and OK; a page that refuses its
// values keeps the sheet open on that page.
#pragma once

#include "app/widgets/MXWizardCatalog.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <functional>
#include <memory>
#include <vector>

class CDataPointBox;
class CDrawGraph;
class CDrawResults;
class CDrawView;
class CLegendBox;
class CMXDoc;
class CWizardPage;
class CXYScaleText;

class CGraphPropertySheet : public CHelpPropertySheet {
    Q_OBJECT
public:
    CGraphPropertySheet(const QString& caption, CMXDoc* document, QWidget* parent = nullptr);
    ~CGraphPropertySheet() override;

    // A page with the operation that writes it back (false: the values were refused).
    void AddSheetPage(QWidget* page, const QString& title, std::function<bool()> apply);
    // A graph page of the wizards' kind in its property form.
    void AddWizardPage(CWizardPage* page);
    // The pages go back into their elements (Apply, and OK before closing).
    bool ApplyPages();

    CWizardCatalog* GetCatalog() { return &m_catalog; }
    CMXDoc* GetDocument() const { return m_pDocument; }

    // The sheets of the graph model's objects, or null when the object has
    // none of its own here. side: 1 opens the graph's sheet on the scale page
    // of its X axes (their category axis page when they run the categories),
    // 2 on that of its Y axes.
    static std::unique_ptr<CGraphPropertySheet> ForGraph(CDrawView* view, CDrawGraph* graph, int side);
    static std::unique_ptr<CGraphPropertySheet> ForDataset(CDrawView* view, CDataPointBox* sample);
    // A tick-label block: its number format (category names: alignment and
    // orientation), then its font and location.
    static std::unique_ptr<CGraphPropertySheet> ForScaleText(CDrawView* view, CXYScaleText* labels);
    static std::unique_ptr<CGraphPropertySheet> ForLegend(CDrawView* view, CLegendBox* box);
    static std::unique_ptr<CGraphPropertySheet> ForResults(CDrawView* view, CDrawResults* listing);

    void accept() override;

private:
    struct Entry {
        QWidget* page;
        std::function<bool()> apply;
    };
    CMXDoc* m_pDocument;
    CMXWizardCatalog m_catalog;
    std::vector<Entry> m_entries;
    // Helpers that the pages refer to (adapters of the model objects).
    std::vector<std::shared_ptr<void>> m_keep;
    bool m_bRefused = false;
};
