#include "treerules.h"

#include "mappdict.h"
#include "mdbrecordbase.h"
#include "mmitr.h"
#include "mpinyinsort.h"

namespace TreeRules {

QString DisplayText(const QString& name)
{
    const QString translated = mmi_tr(name, QString());
    return translated.isEmpty() ? name : translated;
}

QString ApplicationName(const QMap<QString, QString>& displayNames, const QString& label)
{
    for (auto it = displayNames.cbegin(); it != displayNames.cend(); ++it) {
        if (it.value() == label)
            return it.key();
    }
    return label;
}

QMap<QString, QString> ApplicationDisplayNames()
{
    QMap<QString, QString> names;
    for (const MAppInfo& app : MAppDict::Instance()->GetAppList()) {
        names.insert(app.name, DisplayText(app.description));
    }
    return names;
}

QList<MDBRecordBase*> PicturesInPinyinOrder(QList<MDBRecordBase*>& records, Keep keep)
{
    QMap<QString, MDBRecordBase*> byName;
    for (MDBRecordBase* record : std::as_const(records)) {
        MDBRecordBase* kept = byName.value(record->name);
        if (kept && keep == Keep::First) {
            delete record;
            continue;
        }
        delete kept;
        byName.insert(record->name, record);
    }
    records.clear();
    QStringList names = byName.keys();
    MPinYinSort::Instance()->SortByPY(names, true);
    QList<MDBRecordBase*> ordered;
    for (const QString& name : std::as_const(names))
        ordered << byName.value(name);
    return ordered;
}

} // namespace TreeRules
