#pragma once

#include <QList>
#include <QMap>
#include <QString>

class MDBRecordBase;

// Rules every graph tree shares (exported, online, editor).
namespace TreeRules {

// Application name -> display text: the dictionary's text, translated when a
// translation exists.
QMap<QString, QString> ApplicationDisplayNames();

enum class Keep { First, Last };
// One record per picture name, the others deleted, in Pinyin order of the
// names. records is emptied; the caller owns what is returned.
QList<MDBRecordBase*> PicturesInPinyinOrder(QList<MDBRecordBase*>& records, Keep keep);

} // namespace TreeRules
