// One undoable change. Each kind of change derives from CAction and knows how
// to do, redo and undo itself; the description is the text that follows
// "Undo" and "Redo" in the Edit menu.
#pragma once

#include "platform/Object.h"

#include <string>

class CAction : public CObject {
    DECLARE_DYNAMIC(CAction)
public:
    // The description from the string table.
    explicit CAction(UINT descriptionId);
    // The description as given.
    explicit CAction(std::string description);
    ~CAction() override = default;

    // Performs the action the first time; non-zero on success.
    virtual int Do() = 0;
    // Performs it again after an undo; non-zero on success.
    virtual int Redo() = 0;
    // Reverses it; non-zero on success.
    virtual int Undo() = 0;
    virtual int CanUndo() = 0;
    virtual int CanRedo() = 0;

    const std::string& GetDescription() const { return m_description; }
    void SetDescription(std::string description) { m_description = std::move(description); }

    void Serialize(CArchive& ar) override;

protected:
    std::string m_description;
};
