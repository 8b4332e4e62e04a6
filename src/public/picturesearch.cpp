#include "picturesearch.h"

#include <QComboBox>
#include <QKeyEvent>

void PictureSearch::Refill(QComboBox* box, const QString& text, const QStringList& matches)
{
    m_savedIndex = box->currentIndex();
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItem(text);
    box->addItems(matches);
    box->setEditText(text);
    m_matches = QStringList{text} + matches;
}

int PictureSearch::Occurrence(const QComboBox* box, int index) const
{
    const QString current = box->currentText();
    int count = 0;
    if (index == 0) {
        if (m_savedIndex < m_matches.size())
            count = int(m_matches.mid(1, qMax(m_savedIndex, 0)).count(current));
    } else {
        for (int i = 1; i <= index && i < box->count(); ++i)
            count += box->itemText(i) == current ? 1 : 0;
    }
    return count > 0 ? count - 1 : 0;
}

bool PictureSearch::OpensPopup(const QEvent* event)
{
    return event->type() == QEvent::KeyPress && static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Return;
}
