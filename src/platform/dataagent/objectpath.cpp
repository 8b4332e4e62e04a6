#include "objectpath.h"

namespace DataAgent {

namespace {

class Parser
{
public:
    explicit Parser(const QString& text) : m_text(text) {}

    QString parse(QList<ObjectPath::Step>& steps)
    {
        if (m_text.isEmpty())
            return "empty path";
        while (m_pos < m_text.size()) {
            ObjectPath::Step step;
            if (!take('/'))
                return expected("'/'");
            if (!name(step.className))
                return expected("a class name");
            if (take(',')) {
                if (!name(step.attribute))
                    return expected("an attribute name");
                if (!take('='))
                    return expected("'='");
                if (!value(step.value))
                    return expected("a quoted text or a number");
            }
            steps.append(step);
        }
        return {};
    }

private:
    bool take(QChar c)
    {
        if (m_pos < m_text.size() && m_text.at(m_pos) == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    static bool isNameStart(QChar c) { return c.isLetter() || c == '_'; }

    bool name(QString& out)
    {
        const int start = m_pos;
        if (m_pos >= m_text.size() || !isNameStart(m_text.at(m_pos)) || m_text.at(m_pos).unicode() > 127)
            return false;
        while (m_pos < m_text.size() && m_text.at(m_pos).unicode() < 128
               && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == '_'))
            ++m_pos;
        out = m_text.mid(start, m_pos - start);
        return true;
    }

    bool value(QVariant& out)
    {
        if (take('\''))
            return quoted(out);
        return number(out);
    }

    bool quoted(QVariant& out)
    {
        QString text;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c != '\'') {
                text.append(c);
            } else if (take('\'')) {
                text.append('\'');
            } else {
                out = text;
                return true;
            }
        }
        return false; // unterminated
    }

    bool digits()
    {
        const int start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos) >= '0' && m_text.at(m_pos) <= '9')
            ++m_pos;
        return m_pos > start;
    }

    bool number(QVariant& out)
    {
        const int start = m_pos;
        take('-');
        if (!digits())
            return false;
        bool isReal = false;
        if (take('.')) {
            if (!digits())
                return false;
            isReal = true;
        }
        const QString literal = m_text.mid(start, m_pos - start);
        bool ok = false;
        if (isReal) {
            out = literal.toDouble(&ok);
        } else {
            out = literal.toLongLong(&ok);
        }
        return ok; // a number too large for 64 bits is refused
    }

    QString expected(const QString& what) const
    {
        return QString("expected %1 at position %2").arg(what).arg(m_pos);
    }

    const QString& m_text;
    int m_pos = 0;
};

bool isIdentifierText(const QString& text)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (QChar c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

ObjectPath ObjectPath::parse(const QString& text)
{
    ObjectPath path;
    if (isIdentifierText(text)) {
        path.m_identifier = text.toLongLong();
        return path;
    }
    path.m_error = Parser(text).parse(path.m_steps);
    if (!path.m_error.isEmpty())
        path.m_steps.clear();
    return path;
}

QString ObjectPath::quote(const QString& text)
{
    QString quoted = text;
    quoted.replace('\'', "''");
    return '\'' + quoted + '\'';
}

} // namespace DataAgent
