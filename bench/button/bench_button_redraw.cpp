// One full redraw of a 73 x 25 kxButtons_H ("Derrubar", Times New Roman 9
// bold): Refresh composes the button in its off-screen surface and copies it
// to the control's window. Against it, QPushButton painting the same caption
// at the same size into an image. Both run side by side in one process; the
// figure is the median of several batches. The last line is the ratio.
//
//   bench_button_redraw [calls per batch] [--scale S]
//
// At scale S both draw S times as many pixels each way: the button into its
// device-resolution surface, QPushButton into an image of that size.

#include "ScaleArgument.h"

#include <button/kxButtons_H.h>

#include <gdi/bridge.h>
#include <host/form.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

double nsPerCall(const std::function<void()> &call, int perBatch, int batches)
{
    for (int i = 0; i < perBatch / 4; ++i) // warm caches and glyph tables
        call();
    std::vector<double> samples;
    for (int b = 0; b < batches; ++b) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < perBatch; ++i)
            call();
        samples.push_back(double(t.nsecsElapsed()) / perBatch);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const double scale = takeScaleArgument(argc, argv).toDouble();
    QApplication app(argc, argv);
    gdi::registerFontSubstitutions();
    const int perBatch = argc > 1 ? std::max(1, atoi(argv[1])) : 400;
    const int batches = 9;

    host::Form form;
    form.resize(200, 100);
    form.show();
    auto *ours = new kxButtons_H(&form);
    ours->setObjectName(QStringLiteral("derrubar"));
    ours->setGeometry(8, 8, 73, 25);
    ours->show();
    ours->UserControl_InitProperties();
    auto font = std::make_shared<host::StdFont>(QStringLiteral("Times New Roman"), 9);
    font->setBold(true);
    ours->Font(font);
    ours->Caption(QStringLiteral("Derrubar"));
    ours->UserControl_Resize();

    QPushButton theirs(QStringLiteral("Derrubar"));
    QFont qfont(QStringLiteral("Times New Roman"), 9);
    qfont.setBold(true);
    theirs.setFont(qfont);
    theirs.resize(73, 25);
    theirs.ensurePolished();
    QImage target(qRound(73 * scale), qRound(25 * scale), QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(scale);

    QTextStream out(stdout);
    double oursNs = 0, theirsNs = 0;
    // Interleave the two so that machine load hits both alike.
    std::vector<double> ratios;
    for (int round = 0; round < 3; ++round) {
        const double a = nsPerCall([&] { ours->Refresh(); }, perBatch, batches);
        const double b = nsPerCall([&] {
            target.fill(Qt::transparent);
            theirs.render(&target);
        }, perBatch, batches);
        ratios.push_back(a / b);
        oursNs += a;
        theirsNs += b;
    }
    std::sort(ratios.begin(), ratios.end());
    out << "kxbuttons_redraw_ns=" << qRound(oursNs / 3) << '\n';
    out << "qpushbutton_render_ns=" << qRound(theirsNs / 3) << '\n';
    out << "scale=" << scale << " surface=" << ours->ScaleWidth() << 'x' << ours->ScaleHeight() << '\n';
    out << "redraw_ratio=" << QString::number(ratios[1], 'f', 3) << '\n';
    return 0;
}
