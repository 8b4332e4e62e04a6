#include "sm_priv_api_user.h"

#include <cstring>

sm_priv_api_user::sm_priv_api_user(const QString& name, int level, QSet<QString> functions)
    : m_name(name), m_level(level), m_functions(std::move(functions))
{
}

sm_priv_api_user::~sm_priv_api_user() = default;

void sm_priv_api_user::Update(int level, QSet<QString> functions)
{
    m_level = level;
    m_functions = std::move(functions);
}

QString sm_priv_api_user::functionKey(const QString& application, const QString& function)
{
    return application + '\n' + function;
}

int sm_priv_api_user::get_name(char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return -1;
    QByteArray utf8 = m_name.toUtf8();
    int length = qMin(int(utf8.size()), size - 1);
    // Never cut a multi-byte character in two.
    while (length > 0 && length < utf8.size() && (uchar(utf8.at(length)) & 0xC0) == 0x80)
        --length;
    std::memcpy(buffer, utf8.constData(), size_t(length));
    buffer[length] = '\0';
    return length;
}

int sm_priv_api_user::set_parameter(const char* application, const char* name, const char* value, int& error)
{
    error = (application && name && value) ? 0 : -1;
    if (error)
        return -1;
    m_parameters.insert(functionKey(QString::fromUtf8(application), QString::fromUtf8(name)),
                        QString::fromUtf8(value));
    return 0;
}

int sm_priv_api_user::check_access(const char* application, const char* function, bool& allowed) const
{
    allowed = false;
    if (!application || !function)
        return -1;
    const QString app = QString::fromUtf8(application);
    if (!m_functions.contains(functionKey(app, QString::fromUtf8(function))))
        return 0;
    const auto level = m_parameters.constFind(functionKey(app, "priv_level"));
    if (level == m_parameters.constEnd()) {
        allowed = true;
        return 0;
    }
    bool isNumber = false;
    const int required = level->toInt(&isNumber);
    allowed = isNumber && required <= m_level;
    return 0;
}
