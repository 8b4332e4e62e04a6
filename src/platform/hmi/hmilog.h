#pragma once

#include <QLoggingCategory>

// Warnings of the HMI platform services (database failures, refused input).
Q_DECLARE_LOGGING_CATEGORY(lcHmi)
// The HMI debug channel that mmi_debug writes to.
Q_DECLARE_LOGGING_CATEGORY(lcHmiDebug)
