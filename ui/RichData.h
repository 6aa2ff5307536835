// Formatted text kept with an item as Rich Text Format: the notes of a notepad,
// the descriptions of equations and transformations, the text of text objects
// on a page. The text lives here whether or not a window shows it; while an
// editor is open, the editor's document is attached and the RTF is brought up
// to date from it before it is stored.
#pragma once

#include "platform/Object.h"
#include "platform/Types.h"
#include "ui/RtfDocument.h"

#include <QPointer>
#include <QTextDocument>

#include <memory>
#include <string>
#include <string_view>

class CArchive;
class CMemFile;

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

    // Makes the editor's document show this text: the stored RTF when there is
    // any, else empty text in the character format given (or the default one)
    // and the paragraph format given. The document then has no undo history
    // and is not modified.
    void Attach(QTextDocument* control, const CHARFORMAT* charFormat = nullptr,
                const PARAFORMAT* paraFormat = nullptr);
    // When the attached document reports a modification, replaces the RTF by
    // the document's text and clears the modified flag.
    void Update();
    void SaveText() { Update(); }
    // Update, then forget the document.
    void Detach();
    QTextDocument* GetControl() const { return m_pControl.data(); }

    // The RTF bytes (ASCII); "" when no text was ever captured.
    bool HasStream() const { return m_pStream != nullptr; }
    std::string GetRtf() const;
    // Replaces the stored text; an attached document is not reloaded.
    void SetRtf(std::string_view rtf);
    void ClearStream();
    // The stored text read into the model (one empty paragraph when there is none).
    CRtfDocument GetDocument() const;
    void SetDocument(const CRtfDocument& document);
    std::string GetPlainText() const { return GetDocument().PlainText(); }

    void Serialize(CArchive& ar) override;

private:
    QPointer<QTextDocument> m_pControl; // cleared by Qt when the document goes away
    std::unique_ptr<CMemFile> m_pStream;
};
