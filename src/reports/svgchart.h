#pragma once

#include "reports/chartdata.h"

#include <QList>
#include <QString>

namespace zorv {

// Bar charts drawn as inline SVG markup for the report pages: nothing but SVG elements and
// presentation attributes (no script, no style, nothing loaded), every text from a ledger
// escaped as the rest of the page is. Bars are `rect`s whose length is proportional to
// their amount, measured from a zero line; a negative amount is drawn on the other side of
// that line. Each bar carries a `<title>` with its name and its amount in "0.0,0", which a
// pointer shows and a screen reader reads. Amounts are exact; only pixel lengths are
// worked out in floating point.

// The yearly chart: for each month an entrance bar (solid) and an exit bar (hatched) side
// by side on one scale, the month under them and the month's balance above them. Empty
// markup for no months.
QString yearChartSvg(const QList<MonthBars> &months);

// The exits chart: one horizontal bar per source, in the order given, its name on the left
// and its amount beside it. Empty markup for no bars.
QString exitsChartSvg(const QList<SourceBar> &bars);

} // namespace zorv
