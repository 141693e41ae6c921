#pragma once

#include <QTextBrowser>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QSplitter;
class QToolButton;

// THelpBrowser: the page view of the guide. It draws the pages' SVG pictures from the
// resource and hands links to an example ("example:square") to the window instead of
// following them.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit THelpBrowser(QWidget* parent);
    QVariant loadResource(int type, const QUrl& name) override;

signals:
    void exampleLinkClicked(const QString& name);

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
};

// THelpWindow: the guide, a tool window beside the main window that stays open while the
// pupil works: the pages of the guide with Back, Forward and Contents, and a list of the pages
// that a search box filters. Its size is kept for the next run.
class THelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent);

    // Shows `page` (a file name of the guide; the page shown before, or the contents, when
    // empty) and brings the window up.
    void showPage(const QString& page);
    // Makes `owner` the window the guide stays with. While a modal dialog is open only its own
    // windows take input, so the guide moves to the dialog and back to the main window after.
    void stayWith(QWidget* owner);

    // Moves the window beside `other` (a dialog it helps with) when it covers it: to its right
    // or left where the screen has room, else narrowed to the side with more room until it goes
    // back to the main window.
    void keepClearOf(const QWidget* other);
    // False once the pupil closed the window, until it is shown again.
    bool isWanted() const { return m_wanted; }

    QUrl currentPage() const;
    THelpBrowser* browser() const { return m_browser; }
    QLineEdit* searchBox() const { return m_search; }
    QListWidget* pageList() const { return m_pages; }
    QToolButton* backButton() const { return m_back; }
    QToolButton* forwardButton() const { return m_forward; }
    QToolButton* homeButton() const { return m_home; }

signals:
    // A link to an example was clicked: the main window opens it.
    void exampleRequested(const QString& name);

protected:
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Typing in the search box: the list holds the pages with every word typed.
    void SearchChange(const QString& text);
    // A click on a page in the list: show it.
    void PageListClick();
    // The browser moved to another page: mark it in the list.
    void BrowserSourceChange(const QUrl& url);

    THelpBrowser* m_browser = nullptr;
    QLineEdit* m_search = nullptr;
    QListWidget* m_pages = nullptr;
    QSplitter* m_splitter = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QToolButton* m_home = nullptr;
    bool m_wanted = false;
    bool m_placed = false;     // moved beside its owner once
    QSize m_fullSize;          // the size before it was narrowed for a dialog
    QByteArray m_fullSplitter; // and the split between list and page then
};
