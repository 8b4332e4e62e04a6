#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The library's log messages in a command-line program: shown with --verbose,
// otherwise kept (the last few) so that a failure line can say why a database
// or a transfer failed: "wrong password" rather than only "cannot open".
class LibraryLog
{
public:
    static void Install(bool verbose);

    // The reason the kept messages give, in a few words; empty when none of
    // them is recognised.
    static QString Reason();
    // Reason() of these messages (for tests of the wording).
    static QString ReasonOf(const QStringList& messages);

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    static QStringList s_recent;
    static bool s_verbose;
};
