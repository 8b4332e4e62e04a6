#include "hmipassword.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;

} // namespace

QString HmiPassword::derive(const QString& password, const QString& hexSalt, int iterations)
{
    return QString::fromLatin1(QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(),
                                                                  QByteArray::fromHex(hexSalt.toLatin1()),
                                                                  iterations, kKeyBytes)
                                   .toHex());
}

HmiPassword::Hash HmiPassword::make(const QString& password)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(salt.begin(), salt.end());
    Hash h;
    h.salt = QString::fromLatin1(salt.toHex());
    h.iterations = kIterations;
    h.hash = derive(password, h.salt, h.iterations);
    return h;
}

bool HmiPassword::matches(const QString& password, const Hash& stored)
{
    const QString computed = derive(password, stored.salt, qMax(1, stored.iterations));
    if (computed.size() != stored.hash.size())
        return false;
    char16_t difference = 0;
    for (int i = 0; i < computed.size(); ++i)
        difference |= computed.at(i).unicode() ^ stored.hash.at(i).unicode();
    return difference == 0;
}

void HmiPassword::spendCheckTime(const QString& password)
{
    static const QString dummySalt = QString::fromLatin1(QByteArray(kSaltBytes, '\x5a').toHex());
    derive(password, dummySalt, kIterations);
}
