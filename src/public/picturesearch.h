#pragma once

#include <QStringList>

class QComboBox;
class QEvent;

// The search box of the graph views: typing refills the box with the typed
// text and the matching picture names; activating an entry picks one
// occurrence of a name that several applications hold.
class PictureSearch
{
public:
    // Refills box (signals blocked): text at index 0, then matches. The
    // box's index before the refill is kept for Occurrence(0).
    void Refill(QComboBox* box, const QString& text, const QStringList& matches);
    // Which occurrence (0 the first) of the box's current text entry index
    // is: the equal entries among 1..index, less one. For index 0 the saved
    // index stands in, counted in the match list, and none when it is not
    // inside the list.
    int Occurrence(const QComboBox* box, int index) const;
    // Whether event is the key press that opens the box's list (Return).
    static bool OpensPopup(const QEvent* event);

    // [0] the typed text, [i] the i-th match.
    const QStringList& Matches() const { return m_matches; }
    int SavedIndex() const { return m_savedIndex; }

private:
    QStringList m_matches;
    int m_savedIndex = -1;
};
