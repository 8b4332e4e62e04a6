#pragma once

#include <QString>

// A site-wide named setting of the HMI ("UpdateDBWait", "TreeActions", ...).
struct GlobalDefine
{
    QString name;
    QString value; // empty when the define is unknown
};
