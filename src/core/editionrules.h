#pragma once

#include <QList>

class MDBRecordBase;
class MDBRecordEdition;

// Which of a picture's editions every tree shows, and as what. Records stay
// with their list; nothing here owns them.
namespace EditionRules {

struct Editions
{
    MDBRecordEdition* draft = nullptr;  // the last record of version 0
    MDBRecordEdition* latest = nullptr; // the first record of the highest version above 0
    bool staleDraft = false;            // the draft is older than the latest: not shown
    QList<MDBRecordEdition*> history;   // the others, in database order
};

// Sorts the edition records of one picture (every record must be an edition).
Editions Classify(const QList<MDBRecordBase*>& editions);
// The label of a history entry: "Ver" + version + "(time)", the release time or,
// when it has none, the modification time.
QString HistoryName(const MDBRecordEdition& edition);

} // namespace EditionRules
