#pragma once

#include <QHash>
#include <QSet>
#include <QString>

// A logged-in user of the privilege manager. The manager owns it.
//
// Access rule: check_access(application, function) allows when the user holds
// that function of that application and, if a "priv_level" parameter of that
// application was set, its number is at most the user's privilege level (a
// picture's privilege code is the lowest level that may see it).
class sm_priv_api_user
{
public:
    sm_priv_api_user(const QString& name, int level, QSet<QString> functions);
    virtual ~sm_priv_api_user();

    // Copies the user's name (UTF-8, cut to size - 1 bytes, NUL-terminated).
    // Returns the number of bytes copied, -1 when buffer or size is unusable.
    virtual int get_name(char* buffer, int size) const;
    // Sets a named parameter of an application for the next access checks.
    // Returns 0; error is 0, or -1 (and the result -1) for a null argument.
    virtual int set_parameter(const char* application, const char* name, const char* value, int& error);
    // Whether the user may use function of application; returns 0, or -1 for a
    // null argument (allowed is then false).
    virtual int check_access(const char* application, const char* function, bool& allowed) const;

    QString Name() const { return m_name; }
    int Level() const { return m_level; }
    // Takes the privileges of a new log-in of the same user.
    void Update(int level, QSet<QString> functions);

private:
    static QString functionKey(const QString& application, const QString& function);

    QString m_name;
    int m_level;
    QSet<QString> m_functions;          // application + '\n' + function
    QHash<QString, QString> m_parameters; // application + '\n' + name -> value
};
