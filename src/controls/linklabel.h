#pragma once

#include <QColor>
#include <QLabel>

namespace zorv {

// A colour given as a Windows colour value (0x00BBGGRR: blue in the high byte).
constexpr QRgb rgbFromWindowsColor(quint32 value)
{
    return qRgb(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

// A label that acts as a link: silver, blue while the pointer is over it, clicked() on a
// click. The green variant of the settings page passes its own normal colour.
//
// From the keyboard: every link takes the focus with Tab (a click leaves the focus where it
// was), shows a dotted ring while it has it, and acts on Enter or Space as on a click. Each
// time it is shown it takes its place at the end of its window's Tab chain, so the links
// come after the fields, in the order they are shown, and the fields' own order and the
// Enter chains stay as the pages made them.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    static constexpr QRgb kSilver = rgbFromWindowsColor(0xC0C0C0);
    static constexpr QRgb kHoverBlue = rgbFromWindowsColor(0xC08000); // red 0, green 128, blue 192
    static constexpr QRgb kGreen = rgbFromWindowsColor(0x008000);     // red 0, green 128, blue 0

    explicit LinkLabel(QWidget *parent = nullptr);
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr, QColor normal = QColor(kSilver));

    QColor normalColor() const { return m_normal; }
    void setNormalColor(const QColor &color);
    QColor hoverColor() const { return m_hover; }
    void setHoverColor(const QColor &color);
    bool isHovered() const { return m_hovered; }
    // The colour the text is drawn in now.
    QColor currentColor() const;

signals:
    // Left button pressed and released over the label.
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void applyColor();

    QColor m_normal;
    QColor m_hover;
    bool m_hovered = false;
    bool m_pressed = false;
    bool m_inTabChain = false; // placed behind the window's fields at its first show
};

// A link named `name` (its objectName) on `parent`, showing the pointing hand.
inline LinkLabel *namedLink(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new LinkLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setCursor(Qt::PointingHandCursor);
    return label;
}

} // namespace zorv
