#include <host/dataobject.h>

#include <QImage>
#include <QUrl>

namespace host {

namespace {

const QString kRtf = QStringLiteral("text/rtf");

} // namespace

DataObject::DataObject(QMimeData *data)
    : m_data(data)
{
    Q_ASSERT_X(data, "DataObject", "needs mime data");
}

bool DataObject::GetFormat(int format) const
{
    switch (format) {
    case vbCFText: return m_data->hasText();
    case vbCFBitmap:
    case vbCFDIB: return m_data->hasImage();
    case vbCFFiles: return m_data->hasUrls();
    case vbCFRTF: return m_data->hasFormat(kRtf);
    default: return false;
    }
}

QVariant DataObject::GetData(int format) const
{
    if (!GetFormat(format))
        return {};
    switch (format) {
    case vbCFText: return m_data->text();
    case vbCFBitmap:
    case vbCFDIB: return m_data->imageData();
    case vbCFFiles: return Files();
    case vbCFRTF: return QString::fromUtf8(m_data->data(kRtf));
    default: return {};
    }
}

void DataObject::SetData(const QVariant &value, int format)
{
    switch (format) {
    case vbCFText: m_data->setText(value.toString()); break;
    case vbCFBitmap:
    case vbCFDIB: m_data->setImageData(value); break;
    case vbCFFiles: {
        QList<QUrl> urls;
        for (const QString &file : value.toStringList())
            urls.append(QUrl::fromLocalFile(file));
        m_data->setUrls(urls);
        break;
    }
    case vbCFRTF: m_data->setData(kRtf, value.toString().toUtf8()); break;
    default: break;
    }
}

QStringList DataObject::Files() const
{
    QStringList files;
    for (const QUrl &url : m_data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

void DataObject::Clear()
{
    m_data->clear();
}

} // namespace host
