#pragma once

#include <QHash>

// The picture privilege check over many pictures at once. The answer depends
// only on the picture's code and area (for the user of the moment), and a
// library has few distinct pairs, so each pair is asked once. Keep one memo
// for one listing only: the user or the grants may change between listings.
class PrivilegeMemo
{
public:
    bool Allows(int inPrivCode, int aorNum);

private:
    QHash<quint64, bool> m_answers;
};
