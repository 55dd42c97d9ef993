#pragma once

#include <QLabel>

class QMovie;

namespace forms {

// Plays a stored animated GIF inside the control's rectangle, repeating as
// the file says, scaled to fit with its proportions kept and centred on the
// control's own back colour.
class AnimatedGif : public QLabel
{
    Q_OBJECT

public:
    explicit AnimatedGif(QWidget *parent = nullptr);

    // False with *error set when the file is missing or not a GIF animation.
    bool load(const QString &fileName, QString *error);
    QMovie *movie() const { return m_movie; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitMovie();

    QMovie *m_movie = nullptr;
    QSize m_naturalSize;
};

} // namespace forms
