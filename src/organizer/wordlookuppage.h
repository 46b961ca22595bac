#pragma once

#include "organizer/htmlpage.h"

#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>

class QLineEdit;
class QPlainTextEdit;
class QTextEdit;

namespace zorv {

class PageLoader;
struct LoadedPage;
struct Services;

// A page loaded without being shown: it fetches an address through the page loader and
// keeps the page's model for reading. One load at a time; a new one abandons the last.
class PageFrame : public QObject
{
    Q_OBJECT
public:
    PageFrame(PageLoader &loader, const QString &name, QObject *parent = nullptr);
    // A load still pending is abandoned: its completion must not reach a frame that is gone.
    ~PageFrame() override;

    void Navigate(const QUrl &address);
    // The page last completed; nullptr before the first, or when the last load failed.
    HtmlPage *document() const { return m_document.get(); }

signals:
    // A load has ended: `page` is the page's model, or nullptr when it could not be had.
    void DocumentComplete(zorv::HtmlPage *page, const QUrl &address);

private:
    PageLoader &m_loader;
    std::unique_ptr<HtmlPage> m_document;
    bool m_loading = false;
};

// The word lookup: a word typed into prt and Enter fetch the dictionary's page for it, and
// the page's meaning, as plain lines, fills rst.
class WordLookupPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int pageIndex = 9;
    static constexpr int timeInterval = 1000;

    WordLookupPage(Services &services, QWidget *parent = nullptr);

    // The address a word's page is found under: base + word. Tests point it elsewhere.
    void setDictionaryBase(const QString &base) { m_base = base; }
    QString dictionaryBase() const { return m_base; }

    // The show step's share: the word field emptied.
    void ResetFields();

    QLineEdit *prt = nullptr;
    QTextEdit *rst = nullptr;
    QPlainTextEdit *mm = nullptr; // the extraction's scratch text; empty until a meaning was found
    PageFrame *W = nullptr;
    PageFrame *W2 = nullptr;
    QTimer Time;

public slots:
    void Lookup();
    void WDocumentComplete(zorv::HtmlPage *page, const QUrl &address);
    void W2DocumentComplete(zorv::HtmlPage *page, const QUrl &address);
    void TimeTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Services &m_services;
    QString m_base;
    HtmlElement m_results; // kept by the translation step, not used further
};

} // namespace zorv
