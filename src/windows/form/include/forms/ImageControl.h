#pragma once

#include <QImage>
#include <QWidget>

namespace forms {

// A stored picture in a window: drawn at its own size from the top-left
// corner, or stretched over the whole control. On a screen of scale s either
// size is s times larger in device pixels, and the picture is scaled once
// from its source to that: when it is first painted at a size, and kept for
// that size, so repaints are plain copies.
class ImageControl : public QWidget
{
    Q_OBJECT

public:
    explicit ImageControl(QWidget *parent = nullptr);
    ~ImageControl() override;

    // What loading needs of the file alone: the picture read (a .bmp by the
    // GDI reader, anything else by Qt) and, for a stretched control of a
    // given size (device pixels), already scaled to it. Made by prepare() on
    // any thread.
    struct Prepared
    {
        QString error; // names the file and the fault; empty when read
        QImage picture;
        QImage scaled; // `picture` at the size asked, when stretched
    };
    static Prepared prepare(const QString &fileName, QSize stretchedTo = {});

    // Reads the picture file. False with *error naming the file and the
    // fault; the picture held before stays.
    bool load(const QString &fileName, QString *error);
    bool load(Prepared prepared, QString *error);

    // The picture as read, before any scaling.
    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    bool isStretched() const { return m_stretch; }
    void setStretched(bool stretch);

    // The size the picture is drawn at, in device pixels.
    QSize deviceSize() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void updateOpaque();

    QImage m_picture;
    QImage m_scaled; // m_picture at deviceSize(), once painted
    bool m_stretch = false;
};

} // namespace forms
