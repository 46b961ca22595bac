#include "ledger.h"

#include "store/logging.h"
#include "store/records.h"
#include "store/textlist.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace zorv {

QString monthKey(const QDate &date)
{
    return date.toString(QStringLiteral("MM.yyyy"));
}

QString yearKey(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy"));
}

QString monthLedgerName(const QString &workMonth)
{
    return kFinanceFolder + QLatin1Char('\\') + workMonth + QStringLiteral(".fin");
}

QString yearLedgerName(const QString &workYear)
{
    return kFinanceFolder + QLatin1Char('\\') + workYear + QStringLiteral(".CX");
}

QString buildLedgerLine(const LedgerEntry &entry)
{
    // A typed field never holds a marker or a line break: either would split the line.
    auto field = [](const QString &text) { return withoutMarkers(oneLineText(text)); };
    return formatAmount(entry.value) + kMarker1 + formatShortDate(entry.date) + kMarker2 +
           field(entry.operation) + kMarker3 + field(entry.source) + kMarker4 + field(entry.paymentForm);
}

std::optional<Currency> lineAmount(QStringView line)
{
    return parseAmount(extractFieldViews(line).f0);
}

QStringView lineOperation(QStringView line)
{
    return extractFieldViews(line).f2;
}

QDate nextInstallmentDate(const QDate &date)
{
    return date.addMonths(1);
}

std::optional<Currency> applyPercentage(Currency value, qint64 percent, bool deduct)
{
    // r = v * (100 -/+ p) / 100, worked out exactly in raw units and then rounded to cents.
    const __int128 factor = deduct ? __int128(100) - percent : __int128(100) + percent;
    const __int128 scaled = __int128(value.raw()) * factor;  // raw units times 100
    const __int128 perCent = 100 * (Currency::kScale / 100); // raw units of one cent, times 100
    __int128 cents = scaled / perCent;
    const __int128 rest = scaled % perCent;
    if (2 * (rest < 0 ? -rest : rest) >= perCent)
        cents += scaled < 0 ? -1 : 1;
    const __int128 raw = cents * (Currency::kScale / 100);
    if (raw > std::numeric_limits<std::int64_t>::max() || raw < std::numeric_limits<std::int64_t>::min())
        return std::nullopt;
    return Currency::fromRaw(std::int64_t(raw));
}

namespace {
void addLine(MonthSums &sums, QStringView line)
{
    const TaggedFieldViews fields = extractFieldViews(line);
    const std::optional<Currency> amount = parseAmount(fields.f0);
    if (!amount)
        return;
    const QStringView operation = fields.f2;
    if (operation != kOperationExit)
        sums.entrances += *amount;
    if (operation != kOperationEntrance)
        sums.exits += *amount;
}
} // namespace

MonthSums computeMonthSums(const QStringList &lines)
{
    MonthSums sums;
    for (const QString &line : lines)
        addLine(sums, line);
    return sums;
}

std::optional<WideInt> exitPercentage(AmountSum entrances, AmountSum exits)
{
    return wholePercentage(exits, entrances);
}

int clampGauge(WideInt value)
{
    return int(value < 0 ? 0 : value > 100 ? 100 : value);
}

WriteResult LedgerFiles::appendEntry(const QString &workMonth, const QString &workYear, const QString &line,
                                     bool toYear) const
{
    QList<LedgerAppend> appends{{monthLedgerName(workMonth), line}};
    if (toYear)
        appends.append({yearLedgerName(workYear), line});
    return appendLines(appends);
}

WriteResult LedgerFiles::appendLines(const QList<LedgerAppend> &appends, const QList<FileWrite> &also) const
{
    // The lines of each ledger, the ledgers in the order first named.
    QStringList order;
    QHash<QString, QStringList> linesOf;
    for (const LedgerAppend &a : appends) {
        const QString path = m_paths.resolve(a.ledger);
        auto it = linesOf.find(path);
        if (it == linesOf.end()) {
            order.append(path);
            it = linesOf.insert(path, {});
        }
        it->append(a.line);
    }
    QList<FileWrite> writes;
    for (const QString &path : order) {
        std::optional<QByteArray> bytes;
        if (QFileInfo::exists(path)) {
            bytes = readWholeFile(path);
            if (!bytes) {
                qCWarning(lcFinance).noquote() << "nothing appended: could not read" << path;
                return WriteResult::failed(
                    QCoreApplication::translate("zorv::LedgerFiles", "%1 não pôde ser lido")
                        .arg(QFileInfo(path).fileName()));
            }
        }
        // A ledger line holds no line break, so the lines joined by CR LF append exactly
        // the bytes that appending them one by one would.
        writes.append({path, appendLineToFileBytes(bytes.value_or(QByteArray()),
                                                   linesOf.value(path).join(QStringLiteral("\r\n")))});
    }
    writes.append(also);
    return writeFilesTogether(writes);
}

QStringList LedgerFiles::monthFileNames() const
{
    QStringList names = listDataFiles(financeFolder(), {QStringLiteral("*.fin")});
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString LedgerFiles::monthFilePath(const QString &fileName) const
{
    return QDir(financeFolder()).filePath(fileName);
}

} // namespace zorv
