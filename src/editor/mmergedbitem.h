#pragma once

#include <QListWidgetItem>

#include "librarymerge.h"
#include "mergepicture.h"

// A picture in a list of the merge dialog (text: the picture name), with its
// records and its state against the other side: 0 same, 1 only in the file,
// 2 versions differ (both red), 3 merged (colour kept).
class MMergeDBItem : public QListWidgetItem
{
public:
    MMergeDBItem(const MergePicture& picture, int state = LibraryMerge::Same);

    const MergePicture& Picture() const { return m_picture; }
    QString TypeName() const { return m_picture.typeName; }
    int State() const { return m_state; }
    void SetState(int state);

private:
    MergePicture m_picture; // owns the picture and version records
    int m_state;
};
