#pragma once

#include <QLoggingCategory>

// Warnings of the object database agent: refused paths, classes, attributes,
// values, and database failures. Tests capture them by category.
Q_DECLARE_LOGGING_CATEGORY(lcDataAgent)
