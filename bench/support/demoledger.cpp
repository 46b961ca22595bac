// The demo household's ledger: what a family of four in a Brazilian city would type into
// the entry row over three years.
#include "demoprofile.h"

#include <QtMath>

#include <algorithm>
#include <random>

namespace zorv::bench {

namespace {

using Cents = qint64;

const QString kCash = QStringLiteral("Dinheiro");
const QString kCard = QStringLiteral("Cartão");
const QString kCheque = QStringLiteral("Cheque");
const QString kBoleto = QStringLiteral("Boleto");
const QString kDuplicata = QStringLiteral("Duplicata");

const QString kToPay = QStringLiteral("To pay");
const QString kToReceive = QStringLiteral("To receive");

// How a planned movement is written, depending on where its date lies from today.
enum class Kind {
    Earned,     // an entrance once it happened; nothing before
    Spent,      // an exit once it happened; nothing before
    Bill,       // an exit once paid; "To pay" while due within the coming weeks
    Receivable, // an entrance once received; "To receive" while due within the coming weeks
    Portions,   // a purchase in monthly portions: one exit a month after the purchase day
};

struct Planned
{
    QDate date;
    Cents cents = 0;
    QString source;
    QString form;
    Kind kind = Kind::Spent;
    int portions = 1;
};

Currency money(Cents cents)
{
    return Currency::fromRaw(cents * (Currency::kScale / 100));
}

// A yearly raise of `percent`, compounded over `years`, rounded to whole reais.
Cents raised(Cents base, double percent, int years)
{
    return qRound64(double(base) * qPow(1.0 + percent / 100.0, years) / 100.0) * 100;
}

QDate firstWorkingDay(int year, int month)
{
    QDate day(year, month, 1);
    while (day.dayOfWeek() > 5)
        day = day.addDays(1);
    return day;
}

class HouseholdLedger
{
public:
    HouseholdLedger(const QDate &today, quint32 seed)
        : m_rng(seed)
        , m_today(today)
        , m_horizon(today.addDays(kDemoBillDays))
    {
        const QDate thisMonth(today.year(), today.month(), 1);
        m_out.firstMonth = thisMonth.addMonths(-(kDemoMonths - 1));
    }

    DemoLedger build()
    {
        const QDate lastMonth(m_horizon.year(), m_horizon.month(), 1);
        int index = 0;
        for (QDate month = m_out.firstMonth; month <= lastMonth; month = month.addMonths(1), ++index)
            planMonth(month, index);
        return std::move(m_out);
    }

private:
    Cents between(Cents low, Cents high) { return low + Cents(m_rng() % quint32(high - low + 1)); }
    bool chance(int percent) { return int(m_rng() % 100) < percent; }
    int dayAround(int day, int spread) { return day - spread + int(m_rng() % quint32(2 * spread + 1)); }

    QDate dayOf(const QDate &month, int day) const
    {
        return QDate(month.year(), month.month(), qBound(1, day, month.daysInMonth()));
    }

    void plan(const QDate &date, Cents cents, const QString &source, const QString &form, Kind kind,
              int portions = 1)
    {
        m_month.append({date, cents, source, form, kind, portions});
    }

    void planMonth(const QDate &month, int index)
    {
        m_month.clear();
        const int m = month.month();
        const int years = month.year() - m_out.firstMonth.year();

        // Income: the salary on the first working day, extra income now and then.
        const Cents salary = raised(980000, 6.0, years);
        plan(firstWorkingDay(month.year(), m), salary, QStringLiteral("Salário"), kCash, Kind::Earned);
        if (m == 11)
            plan(dayOf(month, 28), salary, QStringLiteral("13º salário"), kCash, Kind::Earned);
        if (m == 6 && chance(80))
            plan(dayOf(month, dayAround(20, 5)), between(90000, 240000),
                 QStringLiteral("Restituição do Imposto de Renda"), kCash, Kind::Earned);
        if (chance(35))
            plan(dayOf(month, dayAround(20, 5)), between(12000, 65000),
                 QStringLiteral("Reembolso da empresa"), kCash, Kind::Earned);
        if (chance(40))
            plan(dayOf(month, dayAround(18, 9)), between(30000, 90000), QStringLiteral("Aulas particulares"),
                 kCash, Kind::Receivable);
        if (chance(25))
            plan(dayOf(month, dayAround(14, 10)), between(15000, 48000), QStringLiteral("Venda de bolos"),
                 kCash, Kind::Earned);

        // The bills of every month, by boleto.
        plan(dayOf(month, 5), raised(92000, 9.0, years), QStringLiteral("Plano de saúde"), kBoleto,
             Kind::Bill);
        plan(dayOf(month, 10), raised(220000, 5.0, years), QStringLiteral("Aluguel"), kBoleto, Kind::Bill);
        plan(dayOf(month, 10), raised(64000, 4.0, years), QStringLiteral("Condomínio"), kBoleto, Kind::Bill);
        plan(dayOf(month, 12), 16990, QStringLiteral("Internet e telefone"), kBoleto, Kind::Bill);
        const bool summer = m == 12 || m <= 3;
        plan(dayOf(month, 15), summer ? between(26000, 38000) : between(17000, 30000),
             QStringLiteral("Conta de luz"), kBoleto, Kind::Bill);
        plan(dayOf(month, 20), between(8500, 15000), QStringLiteral("Conta de água"), kBoleto, Kind::Bill);
        const Cents school = raised(118000, 7.0, years);
        if (m == 1) {
            plan(dayOf(month, 15), school, QStringLiteral("Matrícula escolar"), kBoleto, Kind::Bill);
            plan(dayOf(month, dayAround(24, 4)), between(40000, 70000),
                 QStringLiteral("Papelaria Estudantil"), kCard, Kind::Spent);
        } else {
            plan(dayOf(month, 5), school, QStringLiteral("Escola das crianças"), kBoleto, Kind::Bill);
        }

        // Everyday spending: groceries by card, the street market and the bakery in cash.
        for (int day : {3, 12, 22})
            plan(dayOf(month, dayAround(day, 2)), between(28000, 62000),
                 QStringLiteral("Supermercado Central"), kCard, Kind::Spent);
        for (QDate day = dayOf(month, 1); day.month() == m; day = day.addDays(1)) {
            if (day.dayOfWeek() == 6)
                plan(day, between(4500, 11000), QStringLiteral("Feira livre"), kCash, Kind::Spent);
        }
        plan(dayOf(month, 1), between(900, 3800), QStringLiteral("Padaria São João"), kCash, Kind::Spent);
        for (int i = 0; i < 4; ++i)
            plan(dayOf(month, 2 + int(m_rng() % 27)), between(900, 3800), QStringLiteral("Padaria São João"),
                 kCash, Kind::Spent);
        plan(dayOf(month, dayAround(9, 6)), between(3000, 24000), QStringLiteral("Drogaria Santa Luzia"),
             kCard, Kind::Spent);
        if (chance(50))
            plan(dayOf(month, dayAround(23, 5)), between(3000, 14000), QStringLiteral("Drogaria Santa Luzia"),
                 kCard, Kind::Spent);
        plan(dayOf(month, dayAround(7, 3)), between(20000, 33000), QStringLiteral("Posto de combustível"),
             kCard, Kind::Spent);
        plan(dayOf(month, dayAround(21, 3)), between(20000, 33000), QStringLiteral("Posto de combustível"),
             kCard, Kind::Spent);
        plan(dayOf(month, dayAround(3, 2)), between(12000, 18000), QStringLiteral("Recarga do Bilhete Único"),
             kCash, Kind::Spent);

        // Leisure and the occasional expense.
        if (chance(50))
            plan(dayOf(month, dayAround(16, 12)), between(11000, 28000),
                 QStringLiteral("Restaurante Sabor Mineiro"), kCard, Kind::Spent);
        if (chance(35))
            plan(dayOf(month, dayAround(16, 12)), between(6000, 13000), QStringLiteral("Cinema"), kCard,
                 Kind::Spent);
        if (chance(40))
            plan(dayOf(month, dayAround(16, 12)), between(7500, 14000), QStringLiteral("Pizzaria Napoli"),
                 kCash, Kind::Spent);
        if (chance(50))
            plan(dayOf(month, dayAround(16, 12)), between(4000, 9000), QStringLiteral("Cabeleireiro"), kCash,
                 Kind::Spent);
        if (chance(30))
            plan(dayOf(month, dayAround(16, 12)), between(8000, 22000), QStringLiteral("Pet shop"), kCard,
                 Kind::Spent);
        if (chance(20))
            plan(dayOf(month, dayAround(16, 12)), between(15000, 48000), QStringLiteral("Loja de roupas"),
                 kCard, Kind::Spent);
        if (chance(15))
            plan(dayOf(month, dayAround(16, 12)), between(8000, 20000),
                 QStringLiteral("Presente de aniversário"), kCard, Kind::Spent);
        if (chance(8))
            plan(dayOf(month, dayAround(16, 12)), between(25000, 60000), QStringLiteral("Dentista"), kCheque,
                 Kind::Spent);

        // December: presents, the Christmas dinner and the year-end trip; the car tax of the
        // coming year is booked in three portions.
        if (m == 12) {
            plan(dayOf(month, dayAround(18, 3)), between(180000, 270000),
                 QStringLiteral("Presentes de Natal"), kCard, Kind::Spent);
            plan(dayOf(month, 23), between(65000, 105000), QStringLiteral("Ceia de Natal"), kCard,
                 Kind::Spent);
            plan(dayOf(month, 27), between(280000, 390000), QStringLiteral("Viagem de fim de ano"), kCard,
                 Kind::Spent);
            plan(dayOf(month, 20), between(36000, 44000), QStringLiteral("IPVA"), kBoleto, Kind::Portions, 3);
        }

        // Two repairs that leave their month in the red, and purchases in portions.
        if (index == 9)
            plan(dayOf(month, dayAround(14, 6)), between(390000, 460000), QStringLiteral("Oficina mecânica"),
                 kCash, Kind::Spent);
        if (index == 24)
            plan(dayOf(month, dayAround(14, 6)), between(520000, 640000),
                 QStringLiteral("Conserto do telhado"), kCash, Kind::Spent);
        if (index == 4)
            plan(dayOf(month, 11), 38990, QStringLiteral("Loja de eletrodomésticos"), kCard, Kind::Portions,
                 10);
        if (index == 16)
            plan(dayOf(month, 6), 41250, QStringLiteral("Loja de móveis"), kDuplicata, Kind::Portions, 8);
        if (index == 22)
            plan(dayOf(month, 14), 29900, QStringLiteral("Loja de informática"), kCard, Kind::Portions, 12);

        // The day's entries in the order they happened (a day's own order as planned).
        std::stable_sort(m_month.begin(), m_month.end(),
                         [](const Planned &a, const Planned &b) { return a.date < b.date; });
        for (const Planned &p : m_month)
            write(p);
    }

    void write(const Planned &p)
    {
        const bool happened = p.date <= m_today;
        const bool due = !happened && p.date <= m_horizon;
        switch (p.kind) {
        case Kind::Earned:
            if (happened)
                add({money(p.cents), p.date, kOperationEntrance, p.source, p.form});
            break;
        case Kind::Spent:
            if (happened)
                add({money(p.cents), p.date, kOperationExit, p.source, p.form});
            break;
        case Kind::Bill:
            if (happened || due)
                add({money(p.cents), p.date, happened ? kOperationExit : kToPay, p.source, p.form});
            break;
        case Kind::Receivable:
            if (happened || due)
                add({money(p.cents), p.date, happened ? kOperationEntrance : kToReceive, p.source, p.form});
            break;
        case Kind::Portions:
            writePortions(p);
            break;
        }
    }

    // The entry row's installment run: the first portion one month after the purchase,
    // each next one a month after the one before. A purchase whose last portion would lie
    // after today is left out, so that only bills are dated in the future.
    void writePortions(const Planned &p)
    {
        QList<QDate> dates;
        QDate date = p.date;
        for (int i = 0; i < p.portions; ++i)
            dates.append(date = nextInstallmentDate(date));
        if (p.date > m_today || dates.last() > m_today)
            return;
        const LedgerEntry typed{money(p.cents), p.date, kOperationExit, p.source, p.form};
        m_out.purchases.append({typed, p.portions});
        for (const QDate &d : dates) {
            LedgerEntry portion = typed;
            portion.date = d;
            add(portion);
        }
    }

    void add(const LedgerEntry &entry)
    {
        m_out.entries.append(entry);
        if (!m_out.sources.contains(entry.source))
            m_out.sources.append(entry.source);
    }

    std::mt19937 m_rng;
    QDate m_today;
    QDate m_horizon;
    QList<Planned> m_month;
    DemoLedger m_out;
};

} // namespace

DemoLedger demoLedger(const QDate &today, quint32 seed)
{
    return HouseholdLedger(today, seed).build();
}

} // namespace zorv::bench
