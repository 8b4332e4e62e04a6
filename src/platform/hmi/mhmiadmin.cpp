#include "mhmiadmin.h"

#include <QRegularExpression>

#include "hmilog.h"
#include "hmipassword.h"
#include "hmistore.h"
#include "mpinyinsort.h"
#include "sqlconnection.h"

using DataAgent::SqlConnection;
using DataAgent::SqlResult;

namespace {

// Runs one statement as a change of its own; with changesRow, true only when
// it touched a row (an update of something that does not exist is refused).
bool change(const QString& sql, const QVariantList& values, bool changesRow = false)
{
    return HmiStore::instance().write([&](SqlConnection& c) {
        const SqlResult r = c.run(sql, values);
        return r.ok() && (!changesRow || r->numRowsAffected() > 0);
    });
}

bool refuse(const QString& why)
{
    qCWarning(lcHmi).noquote() << why;
    return false;
}

bool userExists(const QString& name)
{
    SqlConnection* c = HmiStore::instance().connection();
    if (!c)
        return false;
    const SqlResult r = c->run("SELECT count(*) FROM h_user WHERE name = ?", {name});
    return r.ok() && r->next() && r->value(0).toInt() > 0;
}

} // namespace

bool MHmiAdmin::AddApplication(const QString& name, const QString& description, bool real)
{
    if (name.isEmpty())
        return refuse("an application needs a name");
    return change("INSERT INTO h_application(name, description, is_real, position) "
                  "VALUES (?, ?, ?, (SELECT coalesce(max(position), -1) + 1 FROM h_application)) "
                  "ON CONFLICT (name) DO UPDATE SET description = excluded.description, is_real = excluded.is_real",
                  {name, description, qlonglong(real)});
}

bool MHmiAdmin::RemoveApplication(const QString& name)
{
    return change("DELETE FROM h_application WHERE name = ?", {name}, true);
}

bool MHmiAdmin::AddNode(const QString& name)
{
    if (name.isEmpty())
        return refuse("a workstation needs a name");
    return change("INSERT INTO h_node(name) VALUES (?) ON CONFLICT (name) DO NOTHING", {name});
}

bool MHmiAdmin::RemoveNode(const QString& name)
{
    return change("DELETE FROM h_node WHERE name = ?", {name}, true);
}

bool MHmiAdmin::AddPictureType(const QString& name, int code)
{
    if (name.isEmpty())
        return refuse("a picture type needs a name");
    return change("INSERT INTO h_pictype(name, code) VALUES (?, ?) "
                  "ON CONFLICT (name) DO UPDATE SET code = excluded.code",
                  {name, code});
}

bool MHmiAdmin::SetTranslation(const QString& text, const QString& translation, const QString& context)
{
    if (text.isEmpty())
        return refuse("an empty text has no translation");
    return change("INSERT INTO h_translation(context, source, translation) VALUES (?, ?, ?) "
                  "ON CONFLICT (context, source) DO UPDATE SET translation = excluded.translation",
                  {context, text, translation});
}

bool MHmiAdmin::SetPinyinWord(const QString& word, const QString& syllables)
{
    static const QRegularExpression syllable("^[a-z]+$");
    const QStringList parts = syllables.split(' ', Qt::SkipEmptyParts);
    // Counted in characters: a character outside the basic plane is two UTF-16 units.
    const int characters = MPinYinSort::CharacterCount(word);
    bool wellFormed = characters >= 2 && parts.size() == characters;
    for (const QString& part : parts)
        wellFormed = wellFormed && syllable.match(part).hasMatch();
    if (!wellFormed)
        return refuse(QString("a Pinyin word needs two or more characters and one lower-case syllable for each: %1 %2")
                          .arg(word.left(20), syllables.left(60)));
    return change("INSERT INTO h_pinyin(word, syllables) VALUES (?, ?) "
                  "ON CONFLICT (word) DO UPDATE SET syllables = excluded.syllables",
                  {word, parts.join(' ')});
}

bool MHmiAdmin::SetEquipment(const QString& path, const QString& oid)
{
    if (path.isEmpty() || oid.isEmpty())
        return refuse("equipment needs a path and an identifier");
    return change("INSERT INTO h_equipment(path, oid) VALUES (?, ?) ON CONFLICT (path) DO UPDATE SET oid = excluded.oid",
                  {path, oid});
}

bool MHmiAdmin::AddUser(const QString& name, const QString& password, int level)
{
    if (name.isEmpty() || password.isEmpty())
        return refuse("a user needs a name and a password");
    if (userExists(name))
        return refuse("user " + name.left(40) + " exists already");
    const HmiPassword::Hash h = HmiPassword::make(password);
    return change("INSERT INTO h_user(name, salt, hash, iterations, level) VALUES (?, ?, ?, ?, ?)",
                  {name, h.salt, h.hash, h.iterations, level});
}

bool MHmiAdmin::SetPassword(const QString& name, const QString& password)
{
    if (password.isEmpty())
        return refuse("a password may not be empty");
    const HmiPassword::Hash h = HmiPassword::make(password);
    return change("UPDATE h_user SET salt = ?, hash = ?, iterations = ? WHERE name = ?",
                  {h.salt, h.hash, h.iterations, name}, true);
}

bool MHmiAdmin::SetUserLevel(const QString& name, int level)
{
    return change("UPDATE h_user SET level = ? WHERE name = ?", {level, name}, true);
}

bool MHmiAdmin::RemoveUser(const QString& name)
{
    return HmiStore::instance().write([&](SqlConnection& c) {
        // The functions go with the user; so do the user's responsibilities.
        const SqlResult user = c.run("DELETE FROM h_user WHERE name = ?", {name});
        const bool removed = user.ok() && user->numRowsAffected() > 0;
        return removed && c.run("DELETE FROM h_duty WHERE user_name = ?", {name}).ok();
    });
}

QStringList MHmiAdmin::Users()
{
    QStringList names;
    if (SqlConnection* c = HmiStore::instance().connection()) {
        const SqlResult r = c->run("SELECT name FROM h_user ORDER BY name", {});
        while (r.ok() && r->next())
            names << r->value(0).toString();
    }
    return names;
}

bool MHmiAdmin::GrantFunction(const QString& user, const QString& application, const QString& function)
{
    if (!userExists(user))
        return refuse("no user " + user.left(40));
    return change("INSERT INTO h_user_function(user_name, application, function) VALUES (?, ?, ?) "
                  "ON CONFLICT DO NOTHING",
                  {user, application, function});
}

bool MHmiAdmin::RevokeFunction(const QString& user, const QString& application, const QString& function)
{
    return change("DELETE FROM h_user_function WHERE user_name = ? AND application = ? AND function = ?",
                  {user, application, function}, true);
}

bool MHmiAdmin::AddResponsibility(const QString& user, const QString& host, int area)
{
    if (user.isEmpty() || area < 0)
        return refuse("a responsibility needs a user and an area of 0 or more");
    return change("INSERT INTO h_duty(user_name, host, area) VALUES (?, ?, ?) ON CONFLICT DO NOTHING",
                  {user, host, area});
}

bool MHmiAdmin::RemoveResponsibility(const QString& user, const QString& host, int area)
{
    return change("DELETE FROM h_duty WHERE user_name = ? AND host = ? AND area = ?", {user, host, area}, true);
}
