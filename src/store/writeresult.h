#pragma once

#include <QString>
#include <utility>

namespace zorv {

// The outcome of a write: done, or not done with the reason a user can read ("sem
// permissão", "disco cheio", the file's name). It must be looked at: a caller that drops it
// gets a compiler warning, so a failed write is never reported as done.
class [[nodiscard]] WriteResult
{
public:
    static WriteResult done() { return WriteResult(true, {}); }
    static WriteResult failed(QString reason) { return WriteResult(false, std::move(reason)); }

    bool ok() const { return m_ok; }
    explicit operator bool() const { return m_ok; }
    // Empty when the write was done.
    const QString &reason() const { return m_reason; }

private:
    WriteResult(bool ok, QString reason)
        : m_ok(ok)
        , m_reason(std::move(reason))
    {}

    bool m_ok;
    QString m_reason;
};

} // namespace zorv
