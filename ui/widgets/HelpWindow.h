// The program's help viewer: the HTML pages of the help folder beside the
// program, shown in one window with Back, Forward and Contents.
#pragma once

#include <QPointer>
#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The one help window, created on first use.
    static CHelpWindow* Instance();
    static CHelpWindow* ExistingInstance();

    // Shows a page of the folder ("index.html" when the topic is empty; a
    // "#anchor" may follow). False when the page does not exist.
    bool ShowTopic(const QString& folder, const QString& topic);
    QTextBrowser* GetBrowser() const { return m_browser; }
    QString GetCurrentPage() const;

private:
    QTextBrowser* m_browser;
    QString m_folder;
};
