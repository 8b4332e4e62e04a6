#pragma once

#include <QString>

// The translation of a name or label from the HMI's translation table, in the
// given context (empty, or "1"); empty text when there is none, and callers
// then show the text itself.
QString mmi_tr(const QString& text, const QString& context = QString());
