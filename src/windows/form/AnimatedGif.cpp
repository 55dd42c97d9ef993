#include <forms/AnimatedGif.h>

#include <QImageReader>
#include <QMovie>

namespace forms {

AnimatedGif::AnimatedGif(QWidget *parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
}

bool AnimatedGif::load(const QString &fileName, QString *error)
{
    QImageReader probe(fileName);
    if (probe.format() != "gif" || !probe.supportsAnimation()) {
        *error = QStringLiteral("%1: not a GIF animation (%2)").arg(fileName, probe.errorString());
        return false;
    }
    m_naturalSize = probe.size();
    auto *movie = new QMovie(fileName, QByteArray("gif"), this);
    if (!movie->isValid() || !m_naturalSize.isValid()) {
        *error = QStringLiteral("%1: %2").arg(fileName, movie->lastErrorString());
        delete movie;
        return false;
    }
    delete m_movie;
    m_movie = movie;
    m_movie->setCacheMode(QMovie::CacheAll);
    setMovie(m_movie);
    fitMovie();
    m_movie->start();
    return true;
}

void AnimatedGif::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fitMovie();
}

void AnimatedGif::fitMovie()
{
    if (m_movie && m_naturalSize.isValid() && !size().isEmpty())
        m_movie->setScaledSize(m_naturalSize.scaled(size(), Qt::KeepAspectRatio));
}

} // namespace forms
