#include "hmilog.h"

Q_LOGGING_CATEGORY(lcHmi, "talmer.hmi", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHmiDebug, "talmer.hmi.debug", QtDebugMsg)
