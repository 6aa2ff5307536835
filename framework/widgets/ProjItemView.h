// The base of item views that draw their item themselves (a graph page, for
// instance): printing in the item's page orientation with its header and
// footer, print preview, and the item's page setup. Derived views draw the
// pages.
#pragma once

#include "platform/widgets/CommandRouter.h"

#include <QWidget>

class CProjectItemBase;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QRect;

class CProjItemView : public QWidget, public CCmdTarget {
    Q_OBJECT
public:
    explicit CProjItemView(QWidget* parent = nullptr);

    // The item of the item window this view lies in; null outside one.
    CProjectItemBase* GetItem() const;

    // Print, Print Preview and Page Setup of the item.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    // Gives the printer the item's orientation; false when there is no item to print.
    bool OnPreparePrinting(QPrinter& printer) const;
    // Prints every page with the item's header and footer; the number of pages.
    int PrintTo(QPagedPaintDevice& device);
    void Print();
    void PrintPreview();

    // The application's printer layout that Page Setup starts from and updates (none: the dialog's own).
    static void SetPrinterLayout(class QPageLayout* layout);

protected:
    // The number of pages the item prints.
    virtual int GetPageCount() const { return 1; }
    // Draws one page (from 1) into the area inside the margins, in thousandths
    // of an inch from the paper's corner. Draws nothing here.
    virtual void OnDraw(QPainter& painter, const QRect& area, int page) {}
};
