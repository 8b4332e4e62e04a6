#pragma once

#include <QString>

class MDrawObj;

// The HMI's rules for names that become files, folders and drawing texts.
class MDbAccessHelper
{
public:
    enum NameKind { PictureName = 1, SubstationName = 2 };

    static MDbAccessHelper* Instance();

    // True when text may be used as a name of that kind. When it may not and
    // showMessage is set, the user is told why in a message box. obj, the
    // drawing object the name is for, may be null.
    bool CheckName(const QString& text, int kind, bool showMessage, MDrawObj* obj) const;

    // Why text may not be used as a name of that kind; empty when it may.
    // Every name: not empty, no blank at either end, not "." or "..", no path
    // separator or character that looks like one (full-width slash, division
    // slash, ...), quote, : , * ? < > |, no control character or line
    // separator, in composed form (NFC), at most 64 characters. A substation name: also at most 19 bytes in the local 8-bit
    // encoding, the room a drawing has for it.
    static QString NameProblem(const QString& text, int kind);

protected:
    MDbAccessHelper() = default;
    ~MDbAccessHelper() = default;

private:
    static MDbAccessHelper* m_pInstance;
};
