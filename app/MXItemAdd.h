// The undoable ways of adding an item: one action per item kind, each with its
// undo text and the step that makes the item; adding from a stored-item file.
#pragma once

#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXHardEquation.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/MXNotes.h"
#include "app/MXTransform.h"
#include "app/ProjectAction.h"
#include "data/DataFilters.h"
#include "platform/StringIds.h"

#include <string>

class CMXItemAdd : public CProjectItemAdd {
    DECLARE_DYNAMIC(CMXItemAdd)
public:
    using CProjectItemAdd::CProjectItemAdd;
    // A removed item can always be added again.
    int CanRedo() override { return 1; }
};

// Adds a new item of kind T, named by its kind's pattern.
template <class T, UINT TextId>
class CMXItemAddKind : public CMXItemAdd {
public:
    explicit CMXItemAddKind(CMXDoc* document) : CMXItemAdd(document, TextId) {}

protected:
    CMXProjectItem* CreateItem(CMXDoc* document) override
    {
        auto* item = new T(document);
        item->InitNewItem();
        return item;
    }
};

class CMXNotes;
class CMXEquation;
class CMXTransform;
class CMXHardEquation;
using CMXItemAddNotepad = CMXItemAddKind<CMXNotes, IDS_ADD_NOTEPAD>;
using CMXItemAddData = CMXItemAddKind<CMXGrid, IDS_ADD_DATA_TABLE>;
using CMXItemAddEquation = CMXItemAddKind<CMXEquation, IDS_ADD_EQUATION>;
using CMXItemAddTransform = CMXItemAddKind<CMXTransform, IDS_ADD_TRANSFORMATION>;
using CMXItemAddHardEquation = CMXItemAddKind<CMXHardEquation, IDS_ADD_HARD_EQUATION>;
using CMXItemAddLinear = CMXItemAddKind<CMXLinear, IDS_ADD_LINEAR_FIT>;
using CMXItemAddNonLinear = CMXItemAddKind<CMXNonLinear, IDS_ADD_NONLINEAR_FIT>;

// Adds a data table read from a foreign file through the data filters.
class CMXItemAddImportData : public CMXItemAdd {
    DECLARE_DYNAMIC(CMXItemAddImportData)
public:
    CMXItemAddImportData(CMXDoc* document, std::string path, std::string extension, std::string title,
                         CDataFilters::ConvertChooser choose = {});

protected:
    CMXProjectItem* CreateItem(CMXDoc* document) override;

private:
    std::string m_path;
    std::string m_extension;
    std::string m_title;
    CDataFilters::ConvertChooser m_choose;
};

// Adds the item kept in a stored-item file, under a copy name when its name is taken.
class CMXItemAddFromStore : public CMXItemAdd {
    DECLARE_DYNAMIC(CMXItemAddFromStore)
public:
    CMXItemAddFromStore(CMXDoc* document, std::string path);

protected:
    CMXProjectItem* CreateItem(CMXDoc* document) override;

private:
    std::string m_path;
};
