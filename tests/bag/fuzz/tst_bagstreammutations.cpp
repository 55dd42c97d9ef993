// A seeded mutation loop over valid streams through the fuzz harness, so
// that every ordinary (and sanitizer) test run exercises the reader on
// damaged input. The libFuzzer target covers far more; this keeps the
// guarantees checked in CI.
#include "BagStreamHarness.h"

#include <Mutator.h>

#include <bag/BagStream.h>

#include <QTest>

using namespace bag;

class tst_BagStreamMutations : public QObject
{
    Q_OBJECT

private slots:
    void mutatedSeeds();
};

static QList<QByteArray> seeds()
{
    FontValue font;
    font.name = QStringLiteral("Arial");
    font.size = 90000;
    font.weight = 700;
    const QByteArray icon = QByteArray::fromHex("000001000100202000000100200028000000160000000000") + QByteArray(40, '\x7f');

    PropertyBag all;
    all.setValue(QStringLiteral("caption"), Value(QStringLiteral("Derrubar")));
    all.setValue(QStringLiteral("capalign"), Value(0));
    all.setValue(QStringLiteral("imgsize"), Value::int16(32));
    all.setValue(QStringLiteral("focus"), Value(false));
    all.setValue(QStringLiteral("font"), Value(font));
    all.setValue(QStringLiteral("image"), Value(PictureValue(icon), VarType::UnknownObject));
    all.setValue(QStringLiteral("cback"), Value(0x8000000Fu));
    PropertyBag one;
    one.setValue(QStringLiteral("mode"), Value(2));
    return {writeStream(all).bytes, writeStream(one).bytes, writeStream(PropertyBag()).bytes};
}

void tst_BagStreamMutations::mutatedSeeds()
{
    int readable = 0;
    mutator::run(seeds(), 20261206, 20000, [&](const QByteArray &b) {
        const char *broken = checkBagStream(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
        QVERIFY2(!broken, broken);
        readable += readStream(b).ok();
    });
    // Some mutations must leave the framing intact, or the loop tests nothing but the header checks.
    QVERIFY2(readable > 500 || mutator::replaying(), qPrintable(QString::number(readable)));
}

QTEST_GUILESS_MAIN(tst_BagStreamMutations)
#include "tst_bagstreammutations.moc"
