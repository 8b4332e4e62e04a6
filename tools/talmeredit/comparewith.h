#pragma once

#include <QString>

class MGraphCompareView;
class MGraphDoc;
class QWidget;

// "Compare with…" in the editor: the open drawing (with its unsaved changes)
// against another version of its picture, chosen among the versions the
// deployment tree holds, shown in a window of its own.
class CompareWith
{
public:
    // Asks for the version and opens the window (owned by parent, deleted when
    // closed). Returns the window, or null when there is nothing to compare,
    // the user cancelled or the version does not read; message says which.
    static MGraphCompareView* Show(QWidget* parent, const QString& app, const QString& pic, const MGraphDoc* current,
                                   QString& message);
};
