// A QTextDocument as the editor of a rich data's text: the notepad, the
// comment editors and in-place text editing attach their document this way.
// The link lasts as long as the document: a document that goes away is
// forgotten by the data it showed.
#pragma once

#include "ui/RichData.h"

#include <QPointer>
#include <QTextDocument>

class CTextDocumentEditor : public CRichTextEditor {
public:
    explicit CTextDocumentEditor(QTextDocument* document) : m_document(document) {}

    QTextDocument* GetDocument() const { return m_document.data(); }

    void ShowText(const CRtfDocument* text, const CHARFORMAT& charFormat, const PARAFORMAT* paraFormat) override;
    bool TakeEditedText(CRtfDocument& text) override;

private:
    QPointer<QTextDocument> m_document; // cleared by Qt when the document goes away
};

// Shows the data's text in the document and keeps the document as the data's
// editor (see CRichData::Attach); a null document only detaches.
void AttachTextDocument(CRichData& data, QTextDocument* document, const CHARFORMAT* charFormat = nullptr,
                        const PARAFORMAT* paraFormat = nullptr);
// The document attached to the data, or null.
QTextDocument* AttachedTextDocument(const CRichData& data);
