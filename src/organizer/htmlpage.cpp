#include "organizer/htmlpage.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <QList>

#include <cstring>

namespace zorv {

namespace {

// Elements that never have content, written without an end tag.
bool isVoidElement(const xmlChar *name)
{
    static const char *const names[] = {"area",  "base",  "basefont", "br",    "col",     "embed",
                                        "frame", "hr",    "img",      "input", "isindex", "link",
                                        "meta",  "param", "source",   "track", "wbr"};
    for (const char *n : names) {
        if (xmlStrcasecmp(name, reinterpret_cast<const xmlChar *>(n)) == 0)
            return true;
    }
    return false;
}

// Elements whose text is written as it is, without escaping.
bool isRawTextElement(const xmlNode *node)
{
    return node && node->type == XML_ELEMENT_NODE &&
           (xmlStrcasecmp(node->name, BAD_CAST "script") == 0 ||
            xmlStrcasecmp(node->name, BAD_CAST "style") == 0);
}

void appendEscapedText(QByteArray &out, const xmlChar *text, bool attribute)
{
    if (!text)
        return;
    for (const unsigned char *p = text; *p; ++p) {
        switch (*p) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += attribute ? "<" : "&lt;";
            break;
        case '>':
            out += attribute ? ">" : "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        case 0xC2:
            if (p[1] == 0xA0) { // no-break space
                out += "&nbsp;";
                ++p;
                break;
            }
            out += char(*p);
            break;
        default:
            out += char(*p);
        }
    }
}

// Attribute values made only of these are written without quotes.
bool needsQuotes(const xmlChar *value)
{
    if (!value || !*value)
        return true;
    for (const unsigned char *p = value; *p; ++p) {
        const unsigned char c = *p;
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.' || c == ':';
        if (!plain)
            return true;
    }
    return false;
}

void appendStartTag(QByteArray &out, const xmlNode *node)
{
    out += '<';
    out += QByteArray(reinterpret_cast<const char *>(node->name)).toUpper();
    for (const xmlAttr *attr = node->properties; attr; attr = attr->next) {
        out += ' ';
        out += reinterpret_cast<const char *>(attr->name);
        xmlChar *value = xmlNodeListGetString(node->doc, attr->children, 1);
        out += '=';
        if (needsQuotes(value)) {
            out += '"';
            appendEscapedText(out, value, true);
            out += '"';
        } else {
            out += reinterpret_cast<const char *>(value);
        }
        xmlFree(value);
    }
    out += '>';
}

// Whether the element's id attribute equals `id` (UTF-8) with ASCII letter case ignored.
bool hasId(const xmlNode *node, const QByteArray &id)
{
    for (const xmlAttr *attr = node->properties; attr; attr = attr->next) {
        if (xmlStrcasecmp(attr->name, BAD_CAST "id") != 0)
            continue;
        const xmlNode *text = attr->children;
        if (!text || text->next || text->type != XML_TEXT_NODE || !text->content)
            return id.isEmpty() && !text;
        return xmlStrcasecmp(text->content, reinterpret_cast<const xmlChar *>(id.constData())) == 0;
    }
    return false;
}

// The next node in document order inside `root` (children first), nullptr at the end.
xmlNode *nextInside(xmlNode *node, const xmlNode *root)
{
    if (node->children && node->type == XML_ELEMENT_NODE)
        return node->children;
    while (node && node != root) {
        if (node->next)
            return node->next;
        node = node->parent;
    }
    return nullptr;
}

xmlNode *findBody(xmlDoc *doc)
{
    xmlNode *root = xmlDocGetRootElement(doc);
    for (xmlNode *node = root; node; node = nextInside(node, root)) {
        if (node->type == XML_ELEMENT_NODE && xmlStrcasecmp(node->name, BAD_CAST "body") == 0)
            return node;
    }
    return nullptr;
}

} // namespace

HtmlPage::HtmlPage(const QByteArray &bytes, const QByteArray &charset)
{
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING;
    const QByteArray encoding = charset.trimmed();
    m_doc = htmlReadMemory(bytes.constData(), int(qMin<qsizetype>(bytes.size(), INT_MAX)), nullptr,
                           encoding.isEmpty() ? nullptr : encoding.constData(), options);
    if (!m_doc && !encoding.isEmpty()) // a charset the parser does not know: let it guess
        m_doc = htmlReadMemory(bytes.constData(), int(qMin<qsizetype>(bytes.size(), INT_MAX)), nullptr,
                               nullptr, options);
}

HtmlPage::~HtmlPage()
{
    if (m_doc)
        xmlFreeDoc(m_doc);
}

HtmlElement HtmlPage::elementById(const QString &id) const
{
    if (!m_doc)
        return {};
    xmlNode *body = findBody(m_doc);
    if (!body)
        return {};
    const QByteArray wanted = id.toUtf8();
    for (xmlNode *node = body->children; node; node = nextInside(node, body)) {
        if (node->type == XML_ELEMENT_NODE && hasId(node, wanted))
            return HtmlElement(node);
    }
    return {};
}

QString HtmlPage::innerHtml(HtmlElement element)
{
    xmlNode *root = element.node();
    if (!root)
        return {};
    QByteArray out;
    // Walked without recursion: a page may nest elements very deeply.
    xmlNode *node = root->children;
    while (node) {
        bool descend = false;
        switch (node->type) {
        case XML_ELEMENT_NODE:
            appendStartTag(out, node);
            descend = node->children != nullptr;
            break;
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (isRawTextElement(node->parent))
                out += reinterpret_cast<const char *>(node->content ? node->content : BAD_CAST "");
            else
                appendEscapedText(out, node->content, false);
            break;
        case XML_COMMENT_NODE:
            out += "<!--";
            out += reinterpret_cast<const char *>(node->content ? node->content : BAD_CAST "");
            out += "-->";
            break;
        default:
            break;
        }
        if (descend) {
            node = node->children;
            continue;
        }
        // Close every element whose last child this was, on the way up.
        while (node != root) {
            if (node->type == XML_ELEMENT_NODE && !isVoidElement(node->name)) {
                out += "</";
                out += QByteArray(reinterpret_cast<const char *>(node->name)).toUpper();
                out += '>';
            }
            if (node->next) {
                node = node->next;
                break;
            }
            node = node->parent;
        }
        if (node == root)
            break;
    }
    return QString::fromUtf8(out);
}

void HtmlPage::setInnerText(HtmlElement element, const QString &text)
{
    xmlNode *node = element.node();
    if (!node || !m_doc)
        return;
    const QByteArray utf8 = text.toUtf8();
    xmlChar *escaped = xmlEncodeSpecialChars(m_doc, reinterpret_cast<const xmlChar *>(utf8.constData()));
    xmlNodeSetContent(node, escaped); // replaces (and frees) the children
    xmlFree(escaped);
}

} // namespace zorv
