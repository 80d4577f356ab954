// Fuzz target: random bytes as a server's answer, split, coded, read as match lines and hellos.
#include "Xmcd.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray body(reinterpret_cast<const char *>(data), qsizetype(size));
    const ResponseLines lines = SplitResponse(body);
    const int code = ResponseCode(lines);
    if (code < 0 || code > 999)
        std::abort();
    for (const QByteArray &line : lines) {
        uint32_t id = 0;
        QString readArg, title;
        const QString text = DecodeLine(line);
        const QString category = ParseMatchLine(text, &id, &readArg, &title);
        if (!category.isEmpty() && !readArg.startsWith(category + QLatin1Char('+')))
            std::abort();
        // Whatever the address, the hello stays one parameter behind the command.
        const QByteArray hello = BuildHello(text);
        if (hello.count('&') != 1 || !hello.endsWith("+Melvo+2.71&proto=6"))
            std::abort();
    }
    return 0;
}
