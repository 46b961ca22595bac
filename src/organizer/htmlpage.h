#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

struct _xmlDoc;
struct _xmlNode;

namespace zorv {

// One element of an HtmlPage; valid while its page lives and until the page's content
// around it is replaced.
class HtmlElement
{
public:
    HtmlElement() = default;
    explicit HtmlElement(_xmlNode *node)
        : m_node(node)
    {}
    bool isNull() const { return m_node == nullptr; }
    explicit operator bool() const { return m_node != nullptr; }
    _xmlNode *node() const { return m_node; }

private:
    _xmlNode *m_node = nullptr;
};

// A web page as a page model: parsed forgivingly (broken markup is repaired, nothing is
// fetched, nothing is reported), searched by id, read and changed as markup or text. No
// script ever runs.
class HtmlPage
{
public:
    // `charset` is the one the server named for the bytes; empty lets the page's own
    // declaration (or the parser's guess) decide.
    explicit HtmlPage(const QByteArray &bytes, const QByteArray &charset = {});
    ~HtmlPage();
    HtmlPage(const HtmlPage &) = delete;
    HtmlPage &operator=(const HtmlPage &) = delete;

    bool isValid() const { return m_doc != nullptr; }

    // The first element inside the body, in document order, whose id is `id` with letter
    // case ignored; null when none.
    HtmlElement elementById(const QString &id) const;

    // The element's content as markup, written the way a browser's page model gives it:
    // tag names in upper case ("<BR>", "<SPAN class=x>"), attribute values quoted only
    // when they need it, no end tag for empty elements, text escaped.
    static QString innerHtml(HtmlElement element);
    // Replaces the element's content with `text` as plain text.
    void setInnerText(HtmlElement element, const QString &text);
    // A click on the element: without scripts it has no effect.
    void click(HtmlElement element) { Q_UNUSED(element); }

private:
    _xmlDoc *m_doc = nullptr;
};

} // namespace zorv
