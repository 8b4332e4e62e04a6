#include "mdbaccesshelper.h"

#include <QApplication>
#include <QMessageBox>

MDbAccessHelper* MDbAccessHelper::m_pInstance = nullptr;

namespace {

constexpr int kMaxNameLength = 64;
constexpr int kMaxSubstationBytes = 19;

QString tr(const char* text)
{
    return QCoreApplication::translate("MDbAccessHelper", text);
}

// Slashes of other scripts and widths, which a name shown as a path would pass
// off as a folder separator.
bool looksLikeSeparator(QChar c)
{
    static const QString slashes = QStringLiteral("\u2044\u2215\u2216\u29F5\u29F8\u29F9\uFE68\uFF0F\uFF3C");
    return slashes.contains(c);
}

} // namespace

MDbAccessHelper* MDbAccessHelper::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MDbAccessHelper;
    return m_pInstance;
}

QString MDbAccessHelper::NameProblem(const QString& text, int kind)
{
    if (text.trimmed().isEmpty())
        return tr("The name is empty.");
    if (text.front().isSpace() || text.back().isSpace())
        return tr("The name may not begin or end with a blank.");
    if (text == "." || text == "..")
        return tr("The name may not be \".\" or \"..\".");
    static const QString forbidden = "/\\:,*?\"'<>|";
    for (QChar c : text) {
        if (forbidden.contains(c))
            return tr("The name may not contain %1.").arg(c);
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return tr("The name may not contain control characters.");
        if (c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
            return tr("The name may not contain line breaks.");
        if (looksLikeSeparator(c))
            return tr("The name may not contain %1, which looks like a path separator.").arg(c);
    }
    // Two spellings of one name would be two folders that look the same.
    if (text != text.normalized(QString::NormalizationForm_C))
        return tr("The name must be written in composed form (Unicode NFC).");
    if (text.size() > kMaxNameLength)
        return tr("The name may be at most %1 characters long.").arg(kMaxNameLength);
    const int bytes = int(text.toLocal8Bit().size());
    if (kind == SubstationName && bytes > kMaxSubstationBytes)
        return tr("A substation name may be at most %1 bytes long; this one has %2.")
            .arg(kMaxSubstationBytes)
            .arg(bytes);
    return {};
}

bool MDbAccessHelper::CheckName(const QString& text, int kind, bool showMessage, MDrawObj*) const
{
    const QString problem = NameProblem(text, kind);
    if (problem.isEmpty())
        return true;
    if (showMessage && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::warning(QApplication::activeWindow(), tr("Invalid name"), problem);
    return false;
}
