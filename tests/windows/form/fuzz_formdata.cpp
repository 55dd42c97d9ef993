// libFuzzer entry for the layout reader: any bytes give a layout or a message
// naming the file, never a crash; a layout that reads must read to the same
// values through Qt's JSON document.

#include "FormDataOracle.h"

#include <forms/FormData.h>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = QStringLiteral("fuzz.json");
    const forms::FormParseResult result = forms::parseForm(json, name);
    if (result.ok()) {
        const QString diff = formdata_oracle::differences(json, *result.form);
        if (!diff.isEmpty() || !result.error.isEmpty()) {
            std::fprintf(stderr, "read differently: %s\n", qPrintable(diff));
            std::abort();
        }
    } else if (!result.error.startsWith(name + QStringLiteral(": "))) {
        std::fprintf(stderr, "message without the file name: %s\n", qPrintable(result.error));
        std::abort();
    }
    return 0;
}
