// The Indents tab of an item form: the item's print indents in the user's
// unit, each kept between bounds that the earlier ones and the page set.
#pragma once

#include "ui/widgets/TabFormView.h"

#include <vector>

class QLineEdit;

class CIndentView : public CTabFormChildView {
    Q_OBJECT
public:
    // ids: the edits' control ids, one per indent; lines: how many lines the picture shows.
    CIndentView(int templateId, std::vector<int> ids);
    QLineEdit* GetEdit(int index) const { return m_edits[std::size_t(index)]; }
    // Reads the edits into the item (each brought within its bounds) and shows them again.
    void Store();
    void OnUpdate(CDocView* sender, int hint, CObject* object) override;

protected:
    void OnInitialUpdate() override;
    // The item's indents (as many as there are edits), or null without an item.
    virtual int* GetIndents() = 0;
    // The bounds of indent i, given the ones before it (as read just now)
    // and the printable width of a page.
    virtual void GetBounds(int i, const int* indents, int width, int& minimum, int& maximum) const = 0;

private:
    void Exchange(bool save);
    std::vector<QLineEdit*> m_edits;
};
