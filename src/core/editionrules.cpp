#include "editionrules.h"

#include <QString>

#include "mdbrecordedition.h"
#include "recordtime.h"

namespace EditionRules {

Editions Classify(const QList<MDBRecordBase*>& editions)
{
    Editions result;
    for (MDBRecordBase* base : editions) {
        auto* edition = static_cast<MDBRecordEdition*>(base);
        if (edition->version == 0)
            result.draft = edition;
        else if (!result.latest || edition->version > result.latest->version)
            result.latest = edition;
    }
    result.staleDraft = result.draft && result.latest
        && RecordTime::IsEarlier(result.draft->modifyTime, result.latest->modifyTime);
    for (MDBRecordBase* base : editions) {
        if (base != result.draft && base != result.latest)
            result.history << static_cast<MDBRecordEdition*>(base);
    }
    return result;
}

QString HistoryName(const MDBRecordEdition& edition)
{
    return QString("Ver%1(%2)")
        .arg(edition.version)
        .arg(edition.versionTime.isEmpty() ? edition.modifyTime : edition.versionTime);
}

} // namespace EditionRules
