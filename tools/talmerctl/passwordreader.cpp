#include "passwordreader.h"

#include <QTextStream>

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

bool PasswordReader::ReadLine(const QString& prompt, bool hidden, QString& line)
{
    termios saved{};
    const bool terminal = hidden && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        QTextStream(stderr) << prompt << Qt::flush;
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string text;
    bool got = false;
    for (int c = std::getchar(); c != EOF; c = std::getchar()) {
        got = true;
        if (c == '\n')
            break;
        text.push_back(char(c));
    }
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        QTextStream(stderr) << "\n";
    }
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = QString::fromStdString(text);
    return got;
}

bool PasswordReader::Read(const QString& prompt, bool confirm, QString& password)
{
    if (!ReadLine(prompt, true, password) || password.isEmpty())
        return false;
    // Typing blind deserves a second look; a script's input does not.
    if (!confirm || !isatty(STDIN_FILENO))
        return true;
    QString again;
    return ReadLine("again: ", true, again) && again == password;
}
