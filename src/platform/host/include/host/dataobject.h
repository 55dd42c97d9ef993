#pragma once
// DataObject: the data of an OLE drag and drop, over a QMimeData. The formats
// are the runtime's clipboard format numbers.

#include <QMimeData>
#include <QStringList>
#include <QVariant>

namespace host {

enum ClipBoardConstants {
    vbCFText = 1,
    vbCFBitmap = 2,
    vbCFDIB = 8,
    vbCFFiles = 15,
    vbCFRTF = -16639,
};

enum OLEDropEffectConstants {
    vbDropEffectNone = 0,
    vbDropEffectCopy = 1,
    vbDropEffectMove = 2,
};

enum DragOverConstants {
    vbEnter = 0,
    vbLeave = 1,
    vbOver = 2,
};

class DataObject
{
public:
    // Does not take ownership; the mime data must outlive this object.
    explicit DataObject(QMimeData *data);

    QMimeData *mimeData() const { return m_data; }
    // Text (vbCFText), image (vbCFBitmap, vbCFDIB), file list (vbCFFiles),
    // rich text (vbCFRTF). Other formats: false / invalid.
    bool GetFormat(int format) const;
    QVariant GetData(int format) const;
    void SetData(const QVariant &value, int format);
    QStringList Files() const;
    void Clear();

private:
    QMimeData *m_data;
};

} // namespace host
