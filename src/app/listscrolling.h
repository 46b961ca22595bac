#pragma once

class QWidget;

namespace zorv {

// The hooked lists under `root` (FL2, LVx, LVA ... by objectName, `root` itself included)
// never show scroll bars; keys and the wheel still scroll them.
void hideScrollBars(QWidget *root);

// The wheel rule of the suite window: each notch over the window pages the focused control
// when it is one of the seventeen scrolling controls, a page down for a downward notch.
// Fine-grained wheels send parts of a notch; they add up to whole notches here.
class WheelPager
{
public:
    // One wheel event of `angleDelta` (eighths of a degree) over `window`.
    void turn(int angleDelta, QWidget *window);

private:
    int m_remainder = 0; // part of a notch left over
};

} // namespace zorv
