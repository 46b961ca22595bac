#pragma once

#include "store/textlist.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;

namespace zorv {

class FlagStaging;
class LinkLabel;
class Paths;
struct Services;

// The reminder interval in minutes as stored in "dados\Personal.not": a whole number the
// reminder timer can hold (1 to 35791 minutes, under 2^31 ms); nullopt for anything else.
std::optional<int> trainerInterval(const QString &line);

// The personal trainer: a switch ("Dados\Personal.pse" exists while it is on) and an
// interval in minutes ("dados\Personal.not"); while the switch is on, every interval
// brings a short notification with the next healthy habit, and a soft chime unless
// sounds are switched off.
class TrainerPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int pageIndex = 10;
    static constexpr int tmprsInterval = 4000;
    static constexpr int minuteMs = 60000;
    static constexpr int maxMinutes = 35791;

    // `LB`: the run's staging list of flag markers, shared with the settings page's switches.
    TrainerPage(const Paths &paths, Services &services, FlagStaging &LB, QWidget *parent = nullptr);

    // clm := the switch file exists (the settings page's periodic check).
    void CheckSwitch();
    // The reminders given so far, for the next one's text.
    int remindersGiven() const { return m_given; }

    QCheckBox *clm = nullptr;
    QComboBox *cmn = nullptr;
    QLabel *lmn = nullptr;
    LinkLabel *pml = nullptr;
    TextList cmn2; // the interval file's lines

    QTimer tmcm;  // the reminder
    QTimer TMPRS; // one shot: the stored interval loaded after start

public slots:
    void pmlClick();
    void clmClick(bool checked);
    void personal();
    void tmcmTimer();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arm(int minutes);

    const Paths &m_paths;
    Services &m_services;
    FlagStaging &m_LB;
    int m_given = 0;
};

} // namespace zorv
