#pragma once

#include "services.h"

#include <QHash>
#include <QList>
#include <QQueue>
#include <QSet>

#include <optional>

namespace zorv {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock
{
public:
    // Starts at 15/03/2013 10:00 local time, a day with nothing special about it.
    FakeClock();
    explicit FakeClock(const QDateTime &start)
        : m_now(start)
    {}

    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }
    void set(const QDate &day, const QTime &time = QTime(10, 0)) { m_now = QDateTime(day, time); }
    void advance(qint64 msecs) { m_now = m_now.addMSecs(msecs); }

private:
    QDateTime m_now;
};

// Dialogs that record what was asked and answer from scripts. An unscripted question
// answers `defaultAnswer`; an unscripted file or folder choice is cancelled.
class FakeDialogs final : public Dialogs
{
public:
    enum class Kind { Message, Question, OpenFile, ChooseFolder };
    struct Shown
    {
        Kind kind;
        QString text; // message or question text; empty for file and folder choices
        QString caption;
        MessageIcon icon = MessageIcon::None;
        QString folder; // starting folder of a file or folder choice
        QString filter; // filter of a file choice
    };

    void message(const QString &text, const QString &caption = {},
                 MessageIcon icon = MessageIcon::Information) override;
    bool question(const QString &text, const QString &caption = {},
                  MessageIcon icon = MessageIcon::Question) override;
    QString openFile(const QString &caption, const QString &folder = {}, const QString &filter = {}) override;
    QString chooseFolder(const QString &caption, const QString &folder = {}) override;

    // Scripts, used first in, first out.
    QQueue<bool> answers;
    QQueue<QString> files;
    QQueue<QString> folders;
    bool defaultAnswer = false;

    // Everything shown, in order.
    QList<Shown> shown;

    // The texts of the messages (not questions) shown, in order.
    QStringList messages() const;
    QStringList questions() const;
    void clear() { shown.clear(); }
};

// A guard whose answer the test chooses; records the show requests made.
class FakeSingleInstance final : public SingleInstance
{
public:
    Claim claim() override { return claimResult; }
    bool requestShow() override
    {
        ++showRequestsSent;
        return runningCopyListens;
    }
    bool serveShowRequests(std::function<void()> onShow) override
    {
        serving = true;
        this->onShow = std::move(onShow);
        return true;
    }

    Claim claimResult = Claim::First;
    bool runningCopyListens = false;
    int showRequestsSent = 0;
    bool serving = false;
    std::function<void()> onShow; // call it to play a second start's request
};

class FakeCompanionPresence final : public CompanionPresence
{
public:
    bool isPresent() override
    {
        ++checks;
        return present;
    }
    bool present = true;
    int checks = 0;
};

class FakeProgramStarter final : public ProgramStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
    };
    bool startHidden(const QString &program, const QStringList &arguments = {}) override
    {
        started.append({program, arguments});
        return succeed;
    }
    QList<Start> started;
    bool succeed = true;
};

class FakeWindowMinimizer final : public WindowMinimizer
{
public:
    void minimizeAll() override { ++calls; }
    int calls = 0;
};

class FakeMemoryTrimmer final : public MemoryTrimmer
{
public:
    void trim() override { ++calls; }
    int calls = 0;
};

// Records every value written, in order; writes under `failingKey` fail and record nothing.
class FakePolicyValues final : public PolicyValues
{
public:
    struct Write
    {
        QString key;
        QString name;
        int value;
    };
    bool write(const QString &key, const QList<PolicyValue> &values) override
    {
        if (!failingKey.isEmpty() && key == failingKey)
            return false;
        for (const PolicyValue &v : values)
            writes.append({key, v.name, v.value});
        return true;
    }
    QList<Write> writes;
    QString failingKey;
};

// Records every notification instead of showing it.
class FakeNotifier final : public Notifier
{
public:
    struct Shown
    {
        QString title;
        QString text;
    };
    void notify(const QString &title, const QString &text) override { shown.append({title, text}); }
    QList<Shown> shown;
};

// Records every sound instead of playing it.
class FakeSoundPlayer final : public SoundPlayer
{
public:
    void play(const QString &path) override { played.append(path); }
    QStringList played;
};

// Pages from a table by address; a load waits until the test completes it (or completes
// at once when asked to). An address in `failing`, or one without a page, completes with
// nothing.
class FakePageLoader final : public PageLoader
{
public:
    void load(const QUrl &address, Completion done) override;
    void abandon() override;
    // Completes the pending load; false when none is pending.
    bool completePending();
    bool hasPending() const { return m_pending.has_value(); }

    QHash<QString, LoadedPage> pages; // by address
    QSet<QString> failing;
    QList<QUrl> requested;
    bool completeAtOnce = false;

private:
    std::optional<QUrl> m_pending;
    Completion m_done;
};

// The whole set of fakes, with the Services that refers to them:
//   FakeServices fake;  fake.clock.set(QDate(2013, 3, 15));  fake.dialogs.answers << true;
//   FinancePage page(fake.services(), ...);
class FakeServices
{
public:
    FakeServices();
    FakeServices(const FakeServices &) = delete;
    FakeServices &operator=(const FakeServices &) = delete;

    Services &services() { return m_services; }
    operator Services &() { return m_services; }

    FakeClock clock;
    FakeDialogs dialogs;
    FakeSingleInstance instance;
    FakeCompanionPresence companion;
    FakeProgramStarter programs;
    FakeWindowMinimizer minimizer;
    FakeMemoryTrimmer memory;
    FakePolicyValues policies;
    FakeNotifier notifier;
    FakeSoundPlayer sound;
    FakePageLoader pages;

private:
    Services m_services;
};

} // namespace zorv
