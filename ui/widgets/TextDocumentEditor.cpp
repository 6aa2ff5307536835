#include "ui/widgets/TextDocumentEditor.h"

#include "ui/widgets/RichTextDocument.h"

#include <QTextCursor>

#include <memory>

namespace {

// Owns a document's editor as the document's child, so that the editor lives
// exactly as long as the document; data hold it only weakly.
class EditorOwner : public QObject {
public:
    explicit EditorOwner(QTextDocument* document)
        : QObject(document), m_editor(std::make_shared<CTextDocumentEditor>(document))
    {
    }
    const std::shared_ptr<CTextDocumentEditor>& Editor() const { return m_editor; }

private:
    std::shared_ptr<CTextDocumentEditor> m_editor;
};

// One editor a document, whichever data it is attached to.
std::shared_ptr<CTextDocumentEditor> EditorOf(QTextDocument* document)
{
    for (QObject* child : document->children())
        if (auto* owner = dynamic_cast<EditorOwner*>(child))
            return owner->Editor();
    return (new EditorOwner(document))->Editor();
}

} // namespace

void CTextDocumentEditor::ShowText(const CRtfDocument* text, const CHARFORMAT& charFormat,
                                   const PARAFORMAT* paraFormat)
{
    QTextDocument* document = m_document.data();
    if (!document)
        return;
    // Loading the text is no edit that the user could undo.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    if (text) {
        FillTextDocument(*document, *text);
    } else {
        document->clear();
        QTextCursor cursor(document);
        cursor.setBlockCharFormat(CharFormatToQt(charFormat));
        if (paraFormat)
            cursor.setBlockFormat(ParaFormatToQt(*paraFormat));
    }
    document->setUndoRedoEnabled(undo);
    document->setModified(false);
}

bool CTextDocumentEditor::TakeEditedText(CRtfDocument& text)
{
    QTextDocument* document = m_document.data();
    if (!document || !document->isModified())
        return false;
    text = ReadTextDocument(*document);
    document->setModified(false);
    return true;
}

void AttachTextDocument(CRichData& data, QTextDocument* document, const CHARFORMAT* charFormat,
                        const PARAFORMAT* paraFormat)
{
    data.Attach(document ? EditorOf(document) : nullptr, charFormat, paraFormat);
}

QTextDocument* AttachedTextDocument(const CRichData& data)
{
    const auto editor = std::dynamic_pointer_cast<CTextDocumentEditor>(data.GetEditor());
    return editor ? editor->GetDocument() : nullptr;
}
