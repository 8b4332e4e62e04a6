#include "softcheck.h"

Q_LOGGING_CATEGORY(lcTalmer, "talmer.debug")

bool Talmer::softCheckFailed(const char* condition, const char* file, int line)
{
    qCWarning(lcTalmer, "soft check \"%s\" failed at %s:%d", condition, file, line);
    return false;
}
