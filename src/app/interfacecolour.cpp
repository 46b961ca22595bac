#include "interfacecolour.h"

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <array>

namespace zorv {

namespace {

struct NamedColour
{
    const char *name;
    quint32 bgr;
};

// Fixed colours, with the values Windows uses for them.
constexpr std::array<NamedColour, 22> kFixedColours{{
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},  {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000},       {"clPurple", 0x800080},  {"clTeal", 0x808000},  {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},     {"clRed", 0x0000FF},     {"clLime", 0x00FF00},  {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},  {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clLtGray", 0xC0C0C0},     {"clDkGray", 0x808080},
}};

struct SystemColour
{
    const char *name; // nullptr: the index is not in use
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The system colours by their Windows index, each with the palette role closest to it.
constexpr std::array<SystemColour, 31> kSystemColours{{
    {"clScrollBar", QPalette::Active, QPalette::Button},
    {"clBackground", QPalette::Active, QPalette::Dark},
    {"clActiveCaption", QPalette::Active, QPalette::Highlight},
    {"clInactiveCaption", QPalette::Active, QPalette::Mid},
    {"clMenu", QPalette::Active, QPalette::Window},
    {"clWindow", QPalette::Active, QPalette::Base},
    {"clWindowFrame", QPalette::Active, QPalette::Shadow},
    {"clMenuText", QPalette::Active, QPalette::WindowText},
    {"clWindowText", QPalette::Active, QPalette::Text},
    {"clCaptionText", QPalette::Active, QPalette::HighlightedText},
    {"clActiveBorder", QPalette::Active, QPalette::Window},
    {"clInactiveBorder", QPalette::Active, QPalette::Window},
    {"clAppWorkSpace", QPalette::Active, QPalette::Dark},
    {"clHighlight", QPalette::Active, QPalette::Highlight},
    {"clHighlightText", QPalette::Active, QPalette::HighlightedText},
    {"clBtnFace", QPalette::Active, QPalette::Button},
    {"clBtnShadow", QPalette::Active, QPalette::Dark},
    {"clGrayText", QPalette::Disabled, QPalette::Text},
    {"clBtnText", QPalette::Active, QPalette::ButtonText},
    {"clInactiveCaptionText", QPalette::Disabled, QPalette::WindowText},
    {"clBtnHighlight", QPalette::Active, QPalette::Light},
    {"cl3DDkShadow", QPalette::Active, QPalette::Shadow},
    {"cl3DLight", QPalette::Active, QPalette::Midlight},
    {"clInfoText", QPalette::Active, QPalette::ToolTipText},
    {"clInfoBk", QPalette::Active, QPalette::ToolTipBase},
    {nullptr, QPalette::Active, QPalette::NoRole},
    {"clHotLight", QPalette::Active, QPalette::Link},
    {"clGradientActiveCaption", QPalette::Active, QPalette::Highlight},
    {"clGradientInactiveCaption", QPalette::Active, QPalette::Mid},
    {"clMenuHighlight", QPalette::Active, QPalette::Highlight},
    {"clMenuBar", QPalette::Active, QPalette::Window},
}};

std::optional<QColor> systemColour(quint32 index, const QPalette &system)
{
    if (index >= kSystemColours.size() || !kSystemColours[index].name)
        return std::nullopt;
    return system.color(kSystemColours[index].group, kSystemColours[index].role);
}

// A whole number as 32 bits: decimal with an optional sign, or hexadecimal after "$".
std::optional<quint32> number(const QString &text)
{
    bool ok = false;
    if (text.startsWith(QLatin1Char('$'))) {
        const QStringView digits = QStringView(text).mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        const quint32 value = digits.toUInt(&ok, 16);
        return ok ? std::optional<quint32>(value) : std::nullopt;
    }
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return quint32(qint32(value));
}

} // namespace

std::optional<QColor> colourFromText(const QString &text, const QPalette &system)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1String("cl"), Qt::CaseInsensitive)) {
        for (const NamedColour &c : kFixedColours) {
            if (t.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
                return colourFromBgr(c.bgr);
        }
        for (quint32 i = 0; i < kSystemColours.size(); ++i) {
            const char *name = kSystemColours[i].name;
            if (name && t.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return systemColour(i, system);
        }
        return std::nullopt;
    }
    const auto value = number(t);
    if (!value)
        return std::nullopt;
    if ((*value >> 24) == 0)
        return colourFromBgr(*value);
    if ((*value & 0xFFFFFF00u) == 0xFF000000u)
        return systemColour(*value & 0xFF, system);
    return std::nullopt;
}

namespace {

// Decorative one-pixel dividers: vertical ones take the main window's picture a2,
// horizontal ones a10.
const char *const verticalDividers[] = {"q60", "q61", "q3",  "q7",  "q10", "q11", "q14", "q16",
                                        "q18", "q23", "wqw", "q26", "q29", "q33", "q35", "Q38",
                                        "q42", "q44", "q45", "q48", "q50", "q51"};
const char *const horizontalDividers[] = {"q2",  "q222", "q211", "q4",   "q5",  "q6",  "q8",  "q9",
                                          "q12", "q13",  "q15",  "q17",  "q19", "q20", "q21", "q22",
                                          "q27", "q270", "q271", "q272", "q31", "q34", "q36", "q39",
                                          "q40", "q41",  "q43",  "q46",  "q47", "q49"};

// Shapes and gauges that take the window's colour along with the window.
const char *const colouredShapes[] = {"sa1", "sa2", "sa3", "sa4", "sa5", "sa6", "sa7", "sa8"};
const char *const colouredGauges[] = {"sq1", "sq2"};

} // namespace

void blankDividers(QWidget *root, const QPixmap &vertical, const QPixmap &horizontal)
{
    for (const char *name : verticalDividers) {
        for (QLabel *divider : root->findChildren<QLabel *>(QLatin1String(name)))
            divider->setPixmap(vertical);
    }
    for (const char *name : horizontalDividers) {
        for (QLabel *divider : root->findChildren<QLabel *>(QLatin1String(name)))
            divider->setPixmap(horizontal);
    }
}

void applyWindowColour(QWidget *window, const QColor &colour)
{
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, colour);
    pal.setColor(QPalette::WindowText, colour);
    window->setPalette(pal);
    for (const char *name : colouredShapes) {
        for (QWidget *shape : window->findChildren<QWidget *>(QLatin1String(name))) {
            QPalette p = shape->palette();
            p.setColor(QPalette::Window, colour);
            p.setColor(QPalette::Button, colour);
            shape->setPalette(p);
            shape->setAutoFillBackground(true);
        }
    }
    // The gauges draw their background from their own style sheet: the colour is added as
    // a last rule over the sheet they were built with.
    static const char baseSheet[] = "zorvBaseStyleSheet";
    for (const char *name : colouredGauges) {
        for (QProgressBar *gauge : window->findChildren<QProgressBar *>(QLatin1String(name))) {
            if (!gauge->property(baseSheet).isValid())
                gauge->setProperty(baseSheet, gauge->styleSheet());
            gauge->setStyleSheet(gauge->property(baseSheet).toString() +
                                 QStringLiteral("\nQProgressBar { background: %1; }").arg(colour.name()));
        }
    }
}

} // namespace zorv
