#pragma once

#include <QDate>
#include <QDateTime>

namespace zorv {

// The current local date and time. Everything that stamps a date asks this, so tests can
// pin the day.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    QDate today() const { return now().date(); }
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace zorv
