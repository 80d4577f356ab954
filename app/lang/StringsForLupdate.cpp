// Prints the string table as source lupdate reads: one QT_TRANSLATE_NOOP3 per text, with its id as the
// disambiguation, so the translations find their texts by id (see LoadStringRes).
#include "StringTable.h"

#include <cstdio>
#include <string>

namespace {

std::string Escaped(const char *text) {
    std::string out;
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += *p;
        }
    }
    return out;
}

} // namespace

int main() {
    std::puts("// Generated from the string table for lupdate; not compiled.");
    for (const StringEntry &entry : BuiltInStrings())
        std::printf("QT_TRANSLATE_NOOP3(\"Strings\", \"%s\", \"%u\");\n", Escaped(entry.szText).c_str(), entry.nID);
    return 0;
}
