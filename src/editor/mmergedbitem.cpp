#include "mmergedbitem.h"

#include <QBrush>

MMergeDBItem::MMergeDBItem(const MergePicture& picture, int state)
    : QListWidgetItem(picture.name())
    , m_picture(picture)
    , m_state(LibraryMerge::Same)
{
    SetState(state);
}

void MMergeDBItem::SetState(int state)
{
    m_state = state;
    if (state == LibraryMerge::FileOnly || state == LibraryMerge::Different)
        setForeground(Qt::red);
    else if (state == LibraryMerge::Same)
        setForeground(QBrush());
    // Merged keeps the colour it had: the user sees what was different.
}
