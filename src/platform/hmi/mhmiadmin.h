#pragma once

#include <QString>
#include <QStringList>

// Fills the HMI service tables of the configured HMI database: what an
// administrator sets up for a site. Every operation runs in one transaction,
// is seen at once by this process and within a second by the others, and
// returns false (with a warning on "talmer.hmi") when refused or failed.
// Passwords are stored only as salted hashes and never logged.
class MHmiAdmin
{
public:
    // Applications of the dictionary, in the order they were first added.
    static bool AddApplication(const QString& name, const QString& description, bool real);
    static bool RemoveApplication(const QString& name);
    static bool AddNode(const QString& name);
    static bool RemoveNode(const QString& name);
    static bool AddPictureType(const QString& name, int code);
    static bool SetTranslation(const QString& text, const QString& translation, const QString& context = {});
    // A word's Pinyin for MPinYinSort, one lower-case syllable per character
    // separated by blanks: SetPinyinWord("乐清", "yue qing").
    static bool SetPinyinWord(const QString& word, const QString& syllables);
    // The equipment identifier (oid) behind an equipment path, for drawings
    // that look their identifiers up again.
    static bool SetEquipment(const QString& path, const QString& oid);

    static bool AddUser(const QString& name, const QString& password, int level);
    static bool SetPassword(const QString& name, const QString& password);
    static bool SetUserLevel(const QString& name, int level);
    static bool RemoveUser(const QString& name);
    static QStringList Users();
    static bool GrantFunction(const QString& user, const QString& application, const QString& function);
    static bool RevokeFunction(const QString& user, const QString& application, const QString& function);
    // Area 0 covers every area; host empty or "*" every workstation.
    static bool AddResponsibility(const QString& user, const QString& host, int area);
    static bool RemoveResponsibility(const QString& user, const QString& host, int area);
};
