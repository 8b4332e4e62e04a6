#pragma once

#include <QString>

// Passwords come from the terminal, without echo, or from the first line of
// standard input when that is not a terminal; never from the command line.
class PasswordReader
{
public:
    // False when nothing was given (end of input, or an empty password), or
    // when confirm is set and the second entry differs.
    static bool Read(const QString& prompt, bool confirm, QString& password);

private:
    static bool ReadLine(const QString& prompt, bool hidden, QString& line);
};
