#pragma once

#include "services.h"

#include <QHash>
#include <QList>
#include <QPointer>
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
        QString folder;                                   // starting folder of a file or folder choice
        QString filter;                                   // filter of a file choice
        DefaultAnswer defaultAnswer = DefaultAnswer::Yes; // of a question
    };

    void message(const QString &text, const QString &caption = {},
                 MessageIcon icon = MessageIcon::Information) override;
    bool question(const QString &text, const QString &caption = {}, MessageIcon icon = MessageIcon::Question,
                  DefaultAnswer defaultAnswer = DefaultAnswer::Yes) override;
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
    bool serveShowRequests(std::function<void()> handler) override
    {
        serving = true;
        onShow = std::move(handler);
        return true;
    }

    // Both ends of the request channel in one: the program's answers, the companion's asks.
    QByteArray ask(const QByteArray &word) override
    {
        asked << word;
        const auto answer = answers.constFind(word);
        return answer == answers.cend() ? QByteArray() : (*answer)();
    }
    bool serveRequest(const QByteArray &word, std::function<QByteArray()> answer) override
    {
        answers.insert(word, std::move(answer));
        return true;
    }

    Claim claimResult = Claim::First;
    bool runningCopyListens = false;
    QHash<QByteArray, std::function<QByteArray()>> answers;
    QList<QByteArray> asked;
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
    bool requestEnd() override
    {
        ++endRequests;
        return present;
    }
    bool present = true;
    int checks = 0;
    int endRequests = 0;
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

// A player that plays nothing: it records each call, and the test decides when an open
// completes or fails, where the position is and when the track ends.
class FakeAudioPlayer final : public AudioPlayer
{
    Q_OBJECT
public:
    using AudioPlayer::AudioPlayer;

    void open(const QString &path) override;
    void play() override;
    void pause() override;
    void stop() override;
    void close() override;
    void setPosition(qint64 msecs) override;
    qint64 position() const override { return m_position; }
    qint64 length() const override { return m_length; }
    bool isOpen() const override { return m_state == State::Open; }
    bool isPlaying() const override { return m_playing; }
    bool isPaused() const override { return m_paused; }
    void setGain(double level) override
    {
        gain = level;
        calls << QStringLiteral("gain %1").arg(level);
    }

    bool isOpening() const { return m_state == State::Opening; }
    // The pending open succeeds with a track of `length` ms, or fails.
    void completeOpen(qint64 length);
    void failOpen();
    // The length becomes known (or changes) after the open.
    void setLength(qint64 length);
    void moveTo(qint64 msecs) { m_position = msecs; }
    // The open track plays to its end (the player stops there, as a real one does); the
    // position stays where the test put it, as real ends stop a little short or beyond.
    void endTrack();

    QStringList calls; // "open <path>", "play", "pause", "stop", "close", "seek <ms>", "gain <x>"
    QString path;      // the last file opened
    double gain = 1.0;

private:
    enum class State { Closed, Opening, Open };
    State m_state = State::Closed;
    bool m_playing = false;
    bool m_paused = false;
    qint64 m_position = 0;
    qint64 m_length = 0;
};

class FakeAudioPlayback final : public AudioPlayback
{
public:
    AudioPlayer *makePlayer(QObject *parent) override
    {
        auto *player = new FakeAudioPlayer(parent);
        players.append(player);
        return player;
    }
    // The most recently made player, or nullptr.
    FakeAudioPlayer *last() const { return players.isEmpty() ? nullptr : players.last().data(); }

    QList<QPointer<FakeAudioPlayer>> players;
};

// Icons and shortcuts from tables the test fills; records every lookup.
class FakeShellItems final : public ShellItems
{
public:
    bool isShortcut(const QString &path) override
    {
        shortcutChecks << path;
        return shortcuts.contains(path);
    }
    QIcon shortcutTargetIcon(const QString &path) override
    {
        targetLookups << path;
        return targetIcons.value(path);
    }
    QIcon icon(const QString &path) override
    {
        iconLookups << path;
        return icons.value(path);
    }
    QString desktopFolder() override { return desktop; }

    QSet<QString> shortcuts;           // paths that are shortcuts
    QHash<QString, QIcon> targetIcons; // shortcut -> its target's icon
    QHash<QString, QIcon> icons;       // path -> its own icon
    QString desktop;
    QStringList shortcutChecks, targetLookups, iconLookups;
};

// The program's volume with a line whose controls and endpoint the test chooses (all
// there by default); records every call that reached a control.
class FakeOutputVolume final : public OutputVolume
{
    Q_OBJECT
public:
    bool hasVolumeControl() const override { return volumeControl; }
    bool hasMuteControl() const override { return muteControl; }
    bool setLevels(Levels l) override
    {
        if (!volumeControl)
            return false;
        calls << QStringLiteral("levels %1 %2").arg(l.first).arg(l.second);
        m_levels = l;
        emit gainChanged(gain());
        return true;
    }
    std::optional<Levels> levels() const override
    {
        return volumeControl ? std::optional<Levels>(m_levels) : std::nullopt;
    }
    bool setMuted(bool muted) override
    {
        if (!muteControl)
            return false;
        calls << QStringLiteral("mute %1").arg(int(muted));
        m_muted = muted;
        emit gainChanged(gain());
        return true;
    }
    std::optional<bool> muted() const override
    {
        return muteControl ? std::optional<bool>(m_muted) : std::nullopt;
    }
    bool hasEndpoint() const override { return endpoint; }
    bool setMasterScalar(float scalar) override
    {
        if (!endpoint)
            return false;
        calls << QStringLiteral("scalar %1").arg(double(scalar));
        m_scalar = scalar;
        emit gainChanged(gain());
        return true;
    }
    std::optional<float> masterScalar() const override
    {
        return endpoint ? std::optional<float>(m_scalar) : std::nullopt;
    }
    // Sets the levels as the device would hold them, without a call being recorded.
    void holdLevels(Levels l) { m_levels = l; }

    bool volumeControl = true;
    bool muteControl = true;
    bool endpoint = true;
    QStringList calls; // "levels <left> <right>", "mute <0|1>", "scalar <x>"

private:
    Levels m_levels{65535, 65535};
    bool m_muted = false;
    float m_scalar = 1.0f;
};

// Records the print jobs instead of printing them.
class FakePrinter final : public Printer
{
public:
    struct Job
    {
        QString title;
        QString text; // the document's plain text
    };
    bool print(const QTextDocument &document, const QString &title) override;
    QList<Job> jobs;
    bool succeed = true;
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
    // These services with a real audio playback and output volume in place of the fake
    // ones, for the tests that play for real.
    Services withAudio(AudioPlayback &audio, OutputVolume &volume);

    FakeClock clock;
    FakeDialogs dialogs;
    FakeSingleInstance instance;
    FakeCompanionPresence companion;
    FakeProgramStarter programs;
    FakeWindowMinimizer minimizer;
    FakeMemoryTrimmer memory;
    FakePolicyValues policies;
    FakeAudioPlayback audio;
    FakeShellItems shell;
    FakeOutputVolume volume;
    FakePrinter printer;
    FakeNotifier notifier;
    FakeSoundPlayer sound;
    FakePageLoader pages;

private:
    Services m_services;
};

} // namespace zorv
