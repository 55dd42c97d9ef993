#pragma once

#include <forms/GifDecoder.h>

#include <QBasicTimer>
#include <QImage>
#include <QWidget>

#include <optional>
#include <vector>

namespace forms {

// Plays a stored animated GIF inside the control's rectangle, repeating as
// the file says, scaled to fit with its proportions kept and centred on the
// control's own back colour.
//
// The file is read once, in one piece. Frames are decoded one at a time,
// when they are first due, and each is scaled once to the control and kept:
// after the first pass the file's bytes are let go and playing costs only
// the paint. Before the first paint only the
// first frame is decoded. The clock runs only while the control is on
// screen; a hidden animation resumes where it stopped.
class AnimatedGif : public QWidget
{
    Q_OBJECT

public:
    explicit AnimatedGif(QWidget *parent = nullptr);
    ~AnimatedGif() override;

    // What loading needs of the file alone: its bytes read, the first frame
    // decoded and, for a control of a given size, scaled to fit it. Made by
    // prepare() on any thread.
    struct Prepared
    {
        QString fileName;
        QString error; // set when the file is missing or not a GIF animation
        std::optional<GifDecoder> decoder;
        QImage first; // as decoded
        int firstDelay = 0; // ms
        QSize fittedTo; // the control size `firstFitted` is for
        QImage firstFitted;
    };
    static Prepared prepare(const QString &fileName, QSize controlSize = {});

    // False with *error set when the file is missing or not a GIF animation.
    bool load(const QString &fileName, QString *error);
    bool load(Prepared prepared, QString *error);

    // Started and not yet through the repeats the file asks for.
    bool isPlaying() const { return m_playing; }
    int currentFrame() const { return m_current; }
    // Size of the animation as stored, and as drawn in the control (device
    // pixels: on a screen of scale s the frames are scaled once from their
    // source to s times the laid-out size).
    QSize naturalSize() const { return m_naturalSize; }
    QSize scaledSize() const;
    QSize deviceSize() const; // the control's

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    struct Frame
    {
        QImage image; // scaled to m_frameSize
        int delay = 0; // ms until the next frame
    };

    bool readNextFrame();
    const QImage &frameImage(int index);
    void advance();
    void scheduleNext();
    void restartFromFile();

    QString m_fileName;
    std::optional<GifDecoder> m_decoder; // holds the file's bytes until the first pass is read
    QImage m_firstFrame;                    // as decoded, until it is scaled
    int m_firstDelay = 0;
    std::vector<Frame> m_frames;
    QSize m_naturalSize;
    QSize m_frameSize; // what m_frames are scaled to
    int m_current = 0;
    int m_playsLeft = -1; // passes still to start after this one; -1 forever
    bool m_allRead = false;
    bool m_playing = false;
    QBasicTimer m_timer;
};

} // namespace forms
