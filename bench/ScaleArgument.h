#pragma once
// `--scale S` of a benchmark: run on a screen of scale S. The scale is
// fixed when the application starts, so it is taken out of the arguments
// and set (QT_SCALE_FACTOR, offscreen) before that; the other arguments
// keep their places.

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

inline QByteArray takeScaleArgument(int &argc, char **argv)
{
    QByteArray scale = "1";
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
            scale = argv[++i];
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", scale);
    return scale;
}
