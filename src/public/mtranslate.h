#pragma once

#include <QString>

// Qt 6 dropped trUtf8; the exported views still offer it for their hosts. Sources
// are UTF-8 throughout, so it is the same as tr in the class's own context.
#define M_DECLARE_TRUTF8 \
    static QString trUtf8(const char* sourceText, const char* disambiguation = nullptr, int n = -1) \
    { \
        return tr(sourceText, disambiguation, n); \
    }
