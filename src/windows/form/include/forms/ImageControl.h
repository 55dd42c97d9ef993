#pragma once

#include <QImage>
#include <QWidget>

namespace forms {

// A stored picture in a window: drawn at its own size from the top-left
// corner, or stretched over the whole control. A stretched picture is scaled
// when it is first painted at a size and kept for that size, so repaints
// are plain copies.
class ImageControl : public QWidget
{
    Q_OBJECT

public:
    explicit ImageControl(QWidget *parent = nullptr);
    ~ImageControl() override;

    // Reads the picture file: a .bmp through the GDI reader, anything else
    // through Qt. False with *error naming the file and the fault; the
    // picture held before stays.
    bool load(const QString &fileName, QString *error);

    // The picture as read, before any scaling.
    const QImage &picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    bool isStretched() const { return m_stretch; }
    void setStretched(bool stretch);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
    QImage m_scaled; // m_picture at the control's size, once painted stretched
    bool m_stretch = false;
};

} // namespace forms
