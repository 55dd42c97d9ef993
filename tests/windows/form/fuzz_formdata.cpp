// libFuzzer entry for the layout reader: any bytes give a layout or a message
// naming the file, never a crash; a layout that reads keeps the rules the
// loader relies on (bounded control count, unique names, containers given
// before their children, file names that stay beside the layout).

#include <forms/FormData.h>

#include <QSet>

#include <cstdio>
#include <cstdlib>

namespace {

void fault(const char *what, const QString &detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = QStringLiteral("fuzz.json");
    const forms::FormParseResult result = forms::parseForm(json, name);
    if (!result.ok()) {
        if (!result.error.startsWith(name + QStringLiteral(": ")))
            fault("message without the file name", result.error);
        return 0;
    }
    if (!result.error.isEmpty() || result.form->controls.size() > 4096)
        fault("accepted with a message or too many controls", result.error);
    QSet<QString> names{result.form->name};
    for (const forms::ControlData &c : result.form->controls) {
        if (!names.contains(c.container) || names.contains(c.name))
            fault("container not before or name twice", c.name);
        if (c.file.startsWith(QLatin1Char('.')) || c.file.contains(QLatin1Char('/')) || c.file.contains(QLatin1Char('\\')))
            fault("file outside the layout's folder", c.file);
        names.insert(c.name);
    }
    return 0;
}
