#include "fakes.h"

#include <QTextDocument>

namespace zorv {

FakeClock::FakeClock()
    : m_now(QDate(2013, 3, 15), QTime(10, 0))
{}

void FakeDialogs::message(const QString &text, const QString &caption, MessageIcon icon)
{
    shown.append({Kind::Message, text, caption, icon, {}, {}});
}

bool FakeDialogs::question(const QString &text, const QString &caption, MessageIcon icon,
                           DefaultAnswer pressedByEnter)
{
    shown.append({Kind::Question, text, caption, icon, {}, {}, pressedByEnter});
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

bool FakePrinter::print(const QTextDocument &document, const QString &title)
{
    jobs.append({title, document.toPlainText()});
    return succeed;
}

FakeServices::FakeServices()
    : m_services(withAudio(audio, volume))
{}

Services FakeServices::withAudio(AudioPlayback &playback, OutputVolume &realVolume)
{
    return Services{.clock = clock,
                    .dialogs = dialogs,
                    .instance = instance,
                    .companion = companion,
                    .programs = programs,
                    .minimizer = minimizer,
                    .memory = memory,
                    .policies = policies,
                    .audio = playback,
                    .shell = shell,
                    .volume = realVolume,
                    .printer = printer,
                    .notifier = notifier,
                    .sound = sound,
                    .pages = pages};
}

void FakeAudioPlayer::open(const QString &file)
{
    calls << QStringLiteral("open ") + file;
    path = file;
    m_state = State::Opening;
    m_playing = m_paused = false;
    m_position = m_length = 0;
}

void FakeAudioPlayer::play()
{
    calls << QStringLiteral("play");
    if (m_state == State::Open) {
        m_playing = true;
        m_paused = false;
    }
}

void FakeAudioPlayer::pause()
{
    calls << QStringLiteral("pause");
    if (m_state == State::Open && m_playing) {
        m_playing = false;
        m_paused = true;
    }
}

void FakeAudioPlayer::stop()
{
    calls << QStringLiteral("stop");
    if (m_state == State::Open) {
        m_playing = m_paused = false;
        m_position = 0;
    }
}

void FakeAudioPlayer::close()
{
    calls << QStringLiteral("close");
    m_state = State::Closed;
    m_playing = m_paused = false;
    m_position = m_length = 0;
}

void FakeAudioPlayer::setPosition(qint64 msecs)
{
    calls << QStringLiteral("seek %1").arg(msecs);
    if (m_state == State::Open)
        m_position = msecs;
}

void FakeAudioPlayer::completeOpen(qint64 length)
{
    if (m_state != State::Opening)
        return;
    m_state = State::Open;
    m_length = length;
    emit opened(length);
}

void FakeAudioPlayer::failOpen()
{
    if (m_state != State::Opening)
        return;
    m_state = State::Closed;
    emit failed();
}

void FakeAudioPlayer::setLength(qint64 length)
{
    m_length = length;
    emit lengthChanged(length);
}

void FakeAudioPlayer::endTrack()
{
    if (m_state != State::Open)
        return;
    m_playing = m_paused = false;
    emit ended();
}

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
