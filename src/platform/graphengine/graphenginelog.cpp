#include "graphenginelog.h"

Q_LOGGING_CATEGORY(lcGraphEngine, "talmer.graphengine", QtInfoMsg)
