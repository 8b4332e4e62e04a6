#pragma once

#include <QLoggingCategory>

// The system's own debug channel ("talmer.debug"): refusals and states that
// should not happen, written with the file and line they were met at.
Q_DECLARE_LOGGING_CATEGORY(lcTalmer)

namespace Talmer {
// Logs a failed soft check; always false.
bool softCheckFailed(const char* condition, const char* file, int line);
}

// A check that logs and lets the caller recover instead of crashing a host:
//   if (!T_SOFT_CHECK(record)) return;
// Evaluates to the condition's truth.
#define T_SOFT_CHECK(cond) ((cond) ? true : Talmer::softCheckFailed(#cond, __FILE__, __LINE__))
