#pragma once

#include <QString>

// Writes one line to the HMI debug channel (the "talmer.hmi.debug" logging category).
void mmi_debug(const QString& text);
