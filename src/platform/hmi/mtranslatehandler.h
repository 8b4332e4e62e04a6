#pragma once

#include <QString>

// Translates the texts of drawings into another language; registered with
// MDataMessageBus by a host or plug-in that knows the language.
class MTranslateHandler
{
public:
    virtual ~MTranslateHandler() = default;
    // The text in the other language; the text itself when it has none.
    virtual QString TranslateText(const QString& text) = 0;
};
