#pragma once

#include <QString>

// One application of the HMI's application dictionary.
struct MAppInfo
{
    QString name;        // the application's name in the graph library ("SCADA")
    QString description; // its display text, which may itself be translated
    bool real = false;   // a real application with a per-application data file
};
