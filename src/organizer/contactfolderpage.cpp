#include "organizer/contactfolderpage.h"

#include "controls/captions.h"
#include "controls/contactnamebox.h"
#include "controls/keys.h"
#include "controls/lettercase.h"
#include "controls/linklabel.h"
#include "platform/services.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace zorv {

ContactFolderPage::ContactFolderPage(const Paths &paths, Services &services, const QString &extension,
                                     QWidget *parent)
    : QWidget(parent)
    , m_paths(paths)
    , m_services(services)
    , m_folder(paths, extension)
{}

QVBoxLayout *ContactFolderPage::startPage(const QStringList &headingLines)
{
    useLightCaptions(this);
    auto *page = new QVBoxLayout(this);
    for (const QString &line : headingLines)
        page->addWidget(new QLabel(line, this));
    return page;
}

ContactNameBox *ContactFolderPage::contactNameBox(const char *name)
{
    auto *box = new ContactNameBox(this);
    box->setObjectName(QLatin1String(name));
    box->setNameSource([this] { return m_folder.names(); });
    keepLetterCase(box, LetterCase::Upper);
    return box;
}

QGridLayout *ContactFolderPage::entryGrid(const QStringList &captions, const QList<QWidget *> &fields,
                                          LinkLabel *save)
{
    auto *entry = new QGridLayout;
    for (int i = 0; i < captions.size(); ++i)
        entry->addWidget(caption(captions[i], this, i == 0 ? fields.value(0) : nullptr), 0, i);
    for (int i = 0; i < fields.size(); ++i)
        entry->addWidget(fields[i], 1, i);
    entry->addWidget(save, 1, int(fields.size()));
    return entry;
}

QHBoxLayout *ContactFolderPage::reportRow(ContactNameBox *box, LinkLabel *generate, LinkLabel *remove)
{
    auto *row = new QHBoxLayout;
    row->addWidget(box);
    row->addWidget(generate);
    row->addWidget(new QLabel(QStringLiteral("|"), this));
    row->addWidget(remove);
    row->addStretch();
    return row;
}

void ContactFolderPage::watchEnter(const QList<QWidget *> &fields)
{
    for (QWidget *w : fields)
        w->installEventFilter(this);
}

bool ContactFolderPage::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnterPress(event))
        return enterPressed(watched);
    return QWidget::eventFilter(watched, event);
}

void ContactFolderPage::publishContactReport(const QString &name,
                                             const std::function<ReportPage(const QStringList &)> &build)
{
    const auto lines = m_folder.lines(name);
    if (!lines)
        return;
    publishReport(build(*lines), m_paths, m_services.programs);
}

void ContactFolderPage::removeContact(ContactNameBox *box)
{
    m_folder.remove(box->currentText());
    box->clearEditText();
}

} // namespace zorv
