#pragma once

#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace zorv {

// Pages stand on the suite window's dark colour, whose font colour is that same colour:
// a page gives its captions light text so they stay readable. Fields keep their own
// text colour on their light background.
inline void useLightCaptions(QWidget *page)
{
    QPalette captions = page->palette();
    captions.setColor(QPalette::WindowText, Qt::white);
    page->setPalette(captions);
}

// A caption on `parent`; with a buddy, its mnemonic moves the focus there.
inline QLabel *caption(const QString &text, QWidget *parent, QWidget *buddy = nullptr)
{
    auto *label = new QLabel(text, parent);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

// A label named `name` (its objectName), for the labels the page's code fills in.
inline QLabel *namedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace zorv
