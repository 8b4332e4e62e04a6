#pragma once

#include <QString>
#include <QStringList>

class MDataAgent;
class MDataSet;

// The search box's look-up of pictures by the beginning of their name or of its
// Pinyin initials. Each picture keeps both keys (its upper-case name, the
// initials of that) beside it in the database, which finds a key by prefix
// instead of every search reading every picture and computing its Pinyin.
// The agent clears a picture's keys whenever its name is written (by any
// process); they are computed here again before a search, and all of them
// when the Pinyin words in use differ from those they were computed with.
class PictureSearchKeys
{
public:
    // The pictures whose name (upper-cased) or Pinyin initials start with key,
    // with attributes, in the order of the database. False when the agent
    // cannot find keys by prefix or they could not be brought up to date: the
    // caller then reads every picture and asks Matches.
    static bool Find(MDataAgent* agent, const QString& key, const QStringList& attributes, MDataSet& set);
    // Whether a picture of that name is found by key.
    static bool Matches(const QString& name, const QString& key);
    // The stored keys of a name: its upper-case text and the initials of that.
    static QStringList KeysOf(const QString& name);

private:
    static bool bringUpToDate(MDataAgent* agent);
};
