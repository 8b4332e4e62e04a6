#pragma once

#include <QLoggingCategory>

// Warnings of the graph engine: unreadable or refused files, failed writes.
Q_DECLARE_LOGGING_CATEGORY(lcGraphEngine)
