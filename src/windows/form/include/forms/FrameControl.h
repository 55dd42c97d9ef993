#pragma once

#include <QGroupBox>

namespace forms {

// The frame control: an etched rectangle (a shadow line with a highlight
// line inside and beside it) whose top edge runs through the middle of the
// caption, the caption at the top left over a gap in that edge. It keeps the
// group box's behaviour (caption access key, accessible name, children placed
// in its own coordinates) and draws itself with a handful of fills.
class FrameControl : public QGroupBox
{
    Q_OBJECT

public:
    explicit FrameControl(const QString &caption, QWidget *parent = nullptr);

    // Where the caption's left edge lies, and the edge's height (half the
    // caption's line height), both in pixels.
    static constexpr int CaptionLeft = 8;
    int edgeTop() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace forms
