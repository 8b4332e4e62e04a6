#include "dataagentlog.h"

Q_LOGGING_CATEGORY(lcDataAgent, "talmer.dataagent", QtInfoMsg)
