#include "reports/svgchart.h"

#include "reports/reportwriter.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace zorv {

namespace {

// Every length below is in the charts' own units; the page scales the chart to its width.
constexpr double kChartWidth = 800;
// The charts' font size, and a generous average advance of a letter or figure at it: texts
// whose estimate runs past their room are pressed into it rather than spilling over a bar.
constexpr double kFontSize = 12;
constexpr double kCharWidth = 7.2;

constexpr char kEntranceFill[] = "#2e7d32";
constexpr char kExitFill[] = "url(#zorv-exit-hatch)";
constexpr char kExitStroke[] = "#8e0000";
constexpr char kOthersFill[] = "#9e9e9e";
constexpr char kAxisColour[] = "#757575";
constexpr char kGainColour[] = "#1b5e20";
constexpr char kLossColour[] = "#b71c1c";

const QString kOthersLabel = QStringLiteral("Outros");
const QString kNoDateLabel = QStringLiteral("Sem data");
const QString kNoSourceLabel = QStringLiteral("(sem fonte)");
// The word over each month's balance in the yearly chart.
const QString kBalanceLabel = QCoreApplication::translate("zorv::ReportCharts", "Saldo");

// A length in the chart to two decimals, without trailing zeros ("12", "20.5", never "-0").
QString number(double value)
{
    if (std::abs(value) < 0.005)
        value = 0;
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// The amount at whole cents (as its text shows it), as a length to scale.
double centsOf(AmountSum amount)
{
    return double(amount.roundedToCents().raw());
}

// One scale for all bars of a chart: the room runs from the most negative amount to the
// largest one, with the zero line between them.
class Scale
{
public:
    void take(AmountSum amount)
    {
        const double v = centsOf(amount);
        m_positive = std::max(m_positive, v);
        m_negative = std::max(m_negative, -v);
    }
    // Where zero lies along `room`, measured from the negative end.
    double zeroAt(double room) const { return range() > 0 ? room * m_negative / range() : 0; }
    double length(AmountSum amount, double room) const
    {
        return range() > 0 ? room * std::abs(centsOf(amount)) / range() : 0;
    }
    bool hasNegative() const { return m_negative > 0; }

private:
    double range() const { return m_positive + m_negative; }
    double m_positive = 0;
    double m_negative = 0;
};

// The markup of one chart, element by element. Texts given to it are plain text: it escapes
// them as the report writer escapes every text of a page.
class SvgMarkup
{
public:
    SvgMarkup(double height, const QString &title)
    {
        // No role="img": that would make the chart one picture to a screen reader, which
        // would then never read its bars' titles.
        m_out += QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100%\" viewBox=\"0 0 ") +
                 number(kChartWidth) + QLatin1Char(' ') + number(height) +
                 QStringLiteral("\" font-family=\"sans-serif\" font-size=\"") + number(kFontSize) +
                 QStringLiteral("\">\r\n<title>") + escapeReportText(title) + QStringLiteral("</title>\r\n");
        // Exit bars are hatched, so they differ from entrance bars by more than their colour.
        m_out += QStringLiteral(
            "<defs><pattern id=\"zorv-exit-hatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
            "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#c62828\"/>"
            "<rect width=\"2\" height=\"6\" fill=\"#ffcdd2\"/></pattern></defs>\r\n");
        text(20, 24, "start", title, kChartWidth, {}, QStringLiteral(" font-weight=\"bold\""), 14);
    }

    void rect(double x, double y, double width, double height, const char *fill, const char *stroke,
              const QString &title)
    {
        m_out += QStringLiteral("<rect x=\"") + number(x) + QStringLiteral("\" y=\"") + number(y) +
                 QStringLiteral("\" width=\"") + number(width) + QStringLiteral("\" height=\"") +
                 number(height) + QStringLiteral("\" fill=\"") + QLatin1String(fill) + QLatin1Char('"');
        if (stroke)
            m_out += QStringLiteral(" stroke=\"") + QLatin1String(stroke) + QLatin1Char('"');
        if (title.isEmpty()) {
            m_out += QStringLiteral("/>\r\n");
            return;
        }
        m_out += QLatin1Char('>');
        titleElement(title);
        m_out += QStringLiteral("</rect>\r\n");
    }

    // A text at (x, y) anchored "start", "middle" or "end"; one that would run past `room`
    // is pressed into it.
    void text(double x, double y, const char *anchor, const QString &content, double room,
              const QString &title = {}, const QString &extra = {}, double fontSize = kFontSize)
    {
        m_out += QStringLiteral("<text x=\"") + number(x) + QStringLiteral("\" y=\"") + number(y) +
                 QStringLiteral("\" text-anchor=\"") + QLatin1String(anchor) + QLatin1Char('"') + extra;
        if (fontSize != kFontSize)
            m_out += QStringLiteral(" font-size=\"") + number(fontSize) + QLatin1Char('"');
        if (double(content.size()) * kCharWidth * fontSize / kFontSize > room)
            m_out += QStringLiteral(" textLength=\"") + number(room) +
                     QStringLiteral("\" lengthAdjust=\"spacingAndGlyphs\"");
        m_out += QLatin1Char('>');
        if (!title.isEmpty())
            titleElement(title);
        m_out += escapeReportText(content) + QStringLiteral("</text>\r\n");
    }

    void line(double x1, double y1, double x2, double y2)
    {
        m_out += QStringLiteral("<line x1=\"") + number(x1) + QStringLiteral("\" y1=\"") + number(y1) +
                 QStringLiteral("\" x2=\"") + number(x2) + QStringLiteral("\" y2=\"") + number(y2) +
                 QStringLiteral("\" stroke=\"") + QLatin1String(kAxisColour) + QStringLiteral("\"/>\r\n");
    }

    // A key: a swatch filled as the bars it names, and the name beside it.
    void key(double x, double y, const char *fill, const char *stroke, const QString &name)
    {
        rect(x, y - 11, 14, 14, fill, stroke, {});
        text(x + 20, y, "start", name, 80);
    }

    QString finish()
    {
        m_out += QStringLiteral("</svg>");
        return std::move(m_out);
    }

private:
    void titleElement(const QString &title)
    {
        m_out += QStringLiteral("<title>") + escapeReportText(title) + QStringLiteral("</title>");
    }

    QString m_out;
};

// A source name short enough for the label column; the bar's title keeps it whole.
QString shortName(const QString &name)
{
    constexpr qsizetype kMaxChars = 36;
    if (name.size() <= kMaxChars)
        return name;
    qsizetype cut = kMaxChars - 1;
    if (name[cut - 1].isHighSurrogate())
        --cut;
    return name.first(cut) + QChar(0x2026);
}

} // namespace

QString yearChartSvg(const QList<MonthBars> &months)
{
    if (months.isEmpty())
        return {};
    constexpr double left = 20, right = kChartWidth - 20, top = 76, plotHeight = 240;
    const double height = top + plotHeight + 34;

    // Months of one year are named "01" to "12" under their bars; otherwise in full.
    Scale scale;
    bool oneYear = true;
    const QString &firstMonth = months[0].month;
    for (const MonthBars &m : months) {
        scale.take(m.entrances);
        scale.take(m.exits);
        if (m.month.isEmpty() || firstMonth.isEmpty() ||
            QStringView(m.month).sliced(3) != QStringView(firstMonth).sliced(3))
            oneYear = false;
    }
    const qsizetype n = months.size();
    const double slot = std::min((right - left) / double(n), 100.0);
    const double first = left + ((right - left) - slot * double(n)) / 2;
    const double barWidth = std::min(slot * 0.36, 34.0);
    const double gap = std::min(slot * 0.06, 4.0);
    // Positive amounts rise from the zero line, negative ones hang below it.
    const double zeroY = top + plotHeight - scale.zeroAt(plotHeight);

    SvgMarkup svg(height, QStringLiteral("Entrance and exit by month"));
    svg.key(kChartWidth - 200, 24, kEntranceFill, nullptr, QStringLiteral("Entrance"));
    svg.key(kChartWidth - 100, 24, kExitFill, kExitStroke, QStringLiteral("Exit"));
    svg.line(left, zeroY, right, zeroY);

    for (qsizetype i = 0; i < n; ++i) {
        const MonthBars &m = months[i];
        const double centre = first + slot * (double(i) + 0.5);
        const QString name = m.month.isEmpty() ? kNoDateLabel : m.month;
        const QString axisLabel = m.month.isEmpty() ? kNoDateLabel : oneYear ? m.month.first(2) : m.month;

        const double entranceHeight = scale.length(m.entrances, plotHeight);
        const double entranceY = m.entrances > AmountSum() ? zeroY - entranceHeight : zeroY;
        svg.rect(centre - gap / 2 - barWidth, entranceY, barWidth, entranceHeight, kEntranceFill, nullptr,
                 name + QStringLiteral(" Entrance: ") + formatAmount(m.entrances));
        const double exitHeight = scale.length(m.exits, plotHeight);
        const double exitY = m.exits > AmountSum() ? zeroY - exitHeight : zeroY;
        svg.rect(centre + gap / 2, exitY, barWidth, exitHeight, kExitFill, kExitStroke,
                 name + QStringLiteral(" Exit: ") + formatAmount(m.exits));

        // The balance over the pair: above the taller bar, or above the zero line when both
        // hang below it, under the word "Saldo" so that it never reads as a bar's amount. A
        // loss is red and carries its minus sign.
        const AmountSum balance = m.balance();
        const QString balanceText = formatAmount(balance);
        const bool loss = balanceText.startsWith(QLatin1Char('-'));
        const QString fill =
            QStringLiteral(" fill=\"") + QLatin1String(loss ? kLossColour : kGainColour) + QLatin1Char('"');
        const double balanceY = std::min({entranceY, exitY, zeroY}) - 6;
        svg.text(centre, balanceY - 12, "middle", kBalanceLabel, slot - 4, {}, fill, 10);
        svg.text(centre, balanceY, "middle", balanceText, slot - 4,
                 name + QStringLiteral(" Balance: ") + balanceText, fill, 11);
        svg.text(centre, top + plotHeight + 22, "middle", axisLabel, slot - 4);
    }
    return svg.finish();
}

QString exitsChartSvg(const QList<SourceBar> &bars)
{
    if (bars.isEmpty())
        return {};
    constexpr double top = 44, rowHeight = 26, barHeight = 16;
    constexpr double labelRight = 232, barLeft = 242, barRight = kChartWidth - 130;
    const double room = barRight - barLeft;
    const double height = top + double(bars.size()) * rowHeight + 12;

    Scale scale;
    for (const SourceBar &bar : bars)
        scale.take(bar.amount);
    // Positive amounts run right of the zero line, negative ones left of it.
    const double zeroX = barLeft + scale.zeroAt(room);

    SvgMarkup svg(height, QStringLiteral("Exits by source"));
    if (scale.hasNegative())
        svg.line(zeroX, top - 4, zeroX, top + double(bars.size()) * rowHeight + 4);

    for (qsizetype i = 0; i < bars.size(); ++i) {
        const SourceBar &bar = bars[i];
        const double y = top + double(i) * rowHeight + (rowHeight - barHeight) / 2;
        const double textY = y + barHeight / 2 + 4;
        const double length = scale.length(bar.amount, room);
        const bool negative = bar.amount < AmountSum();
        const QString amount = formatAmount(bar.amount);
        const QString name = bar.others ? kOthersLabel : bar.name.isEmpty() ? kNoSourceLabel : bar.name;

        svg.rect(negative ? zeroX - length : zeroX, y, length, barHeight,
                 bar.others ? kOthersFill : kExitFill, bar.others ? kAxisColour : kExitStroke,
                 name + QStringLiteral(": ") + amount);
        svg.text(labelRight, textY, "end", shortName(name), labelRight - 8);
        const double amountX = (negative ? zeroX : zeroX + length) + 6;
        svg.text(amountX, textY, "start", amount, kChartWidth - amountX - 4);
    }
    return svg.finish();
}

} // namespace zorv
