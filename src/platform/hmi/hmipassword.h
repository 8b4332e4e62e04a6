#pragma once

#include <QByteArray>
#include <QString>

// Passwords are kept only as salted PBKDF2-SHA256 hashes.
class HmiPassword
{
public:
    static constexpr int kIterations = 100000;

    struct Hash
    {
        QString salt;  // hex
        QString hash;  // hex
        int iterations = kIterations;
    };

    // A hash of password with a new random salt.
    static Hash make(const QString& password);
    // Whether password gives stored; the comparison takes the same time
    // wherever the first difference lies.
    static bool matches(const QString& password, const Hash& stored);
    // Spends the time of one check, for a user that does not exist.
    static void spendCheckTime(const QString& password);

private:
    static QString derive(const QString& password, const QString& hexSalt, int iterations);
};
