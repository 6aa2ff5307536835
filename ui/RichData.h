// Formatted text kept with an item as Rich Text Format: the notes of a notepad,
// the descriptions of equations and transformations, the text of text objects
// on a page. The text lives here as data, whether or not a window shows it:
// the stored RTF bytes, read into paragraphs of formatted runs when asked. A
// window that edits the text attaches its editor, and the data takes the
// editor's edits back before it is stored.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"
#include "ui/RtfDocument.h"

#include <memory>
#include <string>
#include <string_view>

class CArchive;
class CMemFile;

// What edits a rich data's text in a window: it keeps its own copy of the
// text while the user types, and hands it back when the data asks.
class CRichTextEditor {
public:
    virtual ~CRichTextEditor() = default;
    // Shows the text with no undo history and unmodified; without text (null),
    // empty text that starts in charFormat and, when given, paraFormat.
    virtual void ShowText(const CRtfDocument* text, const CHARFORMAT& charFormat, const PARAFORMAT* paraFormat) = 0;
    // When the text was edited since it was shown or last taken: puts it into
    // text, counts the editor unmodified again and returns true.
    virtual bool TakeEditedText(CRtfDocument& text) = 0;
};

class CRichData : public CObject {
    DECLARE_SERIAL(CRichData)
public:
    CRichData();
    ~CRichData() override;
    // Copies share the attached editor and get their own copy of the text.
    CRichData(const CRichData& other);
    CRichData& operator=(const CRichData& other);

    // Times New Roman, 12 pt, automatic colour, no effects: what new text starts in.
    static CHARFORMAT DefaultCharFormat();

    // Makes the editor show this text: the stored text when there is any, else
    // empty text in the character format given (or the default one) and the
    // paragraph format given. The data holds the editor only weakly: an editor
    // that goes away is forgotten. A null editor detaches without an update.
    void Attach(const std::shared_ptr<CRichTextEditor>& editor, const CHARFORMAT* charFormat = nullptr,
                const PARAFORMAT* paraFormat = nullptr);
    // When the attached editor holds edits, they become the text.
    void Update();
    void SaveText() { Update(); }
    // Update, then forget the editor.
    void Detach();
    std::shared_ptr<CRichTextEditor> GetEditor() const { return m_editor.lock(); }

    // The RTF bytes (ASCII); "" when no text was ever captured.
    bool HasStream() const { return m_pStream != nullptr; }
    std::string GetRtf() const;
    // Replaces the stored text; an attached editor is not shown it again.
    void SetRtf(std::string_view rtf);
    void ClearStream();
    // The stored text read into paragraphs of formatted runs (one empty
    // paragraph when there is none).
    CRtfDocument GetDocument() const;
    void SetDocument(const CRtfDocument& document);
    std::string GetPlainText() const { return GetDocument().PlainText(); }

    void Serialize(CArchive& ar) override;

private:
    std::weak_ptr<CRichTextEditor> m_editor;
    std::unique_ptr<CMemFile> m_pStream;
};
