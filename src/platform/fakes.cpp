#include "fakes.h"

namespace zorv {

FakeClock::FakeClock()
    : m_now(QDate(2013, 3, 15), QTime(10, 0))
{}

void FakeDialogs::message(const QString &text, const QString &caption, MessageIcon icon)
{
    shown.append({Kind::Message, text, caption, icon, {}, {}});
}

bool FakeDialogs::question(const QString &text, const QString &caption, MessageIcon icon)
{
    shown.append({Kind::Question, text, caption, icon, {}, {}});
    return answers.isEmpty() ? defaultAnswer : answers.dequeue();
}

QString FakeDialogs::openFile(const QString &caption, const QString &folder, const QString &filter)
{
    shown.append({Kind::OpenFile, {}, caption, MessageIcon::None, folder, filter});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString FakeDialogs::chooseFolder(const QString &caption, const QString &folder)
{
    shown.append({Kind::ChooseFolder, {}, caption, MessageIcon::None, folder, {}});
    return folders.isEmpty() ? QString() : folders.dequeue();
}

QStringList FakeDialogs::messages() const
{
    QStringList texts;
    for (const Shown &s : shown) {
        if (s.kind == Kind::Message)
            texts << s.text;
    }
    return texts;
}

QStringList FakeDialogs::questions() const
{
    QStringList texts;
    for (const Shown &s : shown) {
        if (s.kind == Kind::Question)
            texts << s.text;
    }
    return texts;
}

FakeServices::FakeServices()
    : m_services{.clock = clock,
                 .dialogs = dialogs,
                 .instance = instance,
                 .companion = companion,
                 .programs = programs,
                 .minimizer = minimizer,
                 .memory = memory,
                 .policies = policies,
                 .notifier = notifier,
                 .sound = sound,
                 .pages = pages}
{}

void FakePageLoader::load(const QUrl &address, Completion done)
{
    requested.append(address);
    m_pending = address;
    m_done = std::move(done);
    if (completeAtOnce)
        completePending();
}

void FakePageLoader::abandon()
{
    m_pending.reset();
    m_done = nullptr;
}

bool FakePageLoader::completePending()
{
    if (!m_pending)
        return false;
    const QString address = m_pending->toString();
    m_pending.reset();
    Completion done = std::move(m_done);
    m_done = nullptr;
    std::optional<LoadedPage> page;
    if (!failing.contains(address) && pages.contains(address))
        page = pages.value(address);
    if (done)
        done(page);
    return true;
}

} // namespace zorv
