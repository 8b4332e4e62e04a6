#pragma once

#include <QStringList>
#include <QTreeWidgetItem>

namespace TestSupport {

// The child of parent showing text in column 0; null when none does.
inline QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    }
    return nullptr;
}

// The column-0 texts of parent's children, in order.
inline QStringList texts(QTreeWidgetItem* parent)
{
    QStringList t;
    for (int i = 0; parent && i < parent->childCount(); ++i)
        t << parent->child(i)->text(0);
    return t;
}

} // namespace TestSupport
