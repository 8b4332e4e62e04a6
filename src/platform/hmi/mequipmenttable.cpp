#include "mequipmenttable.h"

#include "hmistore.h"
#include "sqlconnection.h"

QString MEquipmentTable::Lookup(const QString& path)
{
    DataAgent::SqlConnection* c = HmiStore::instance().connection();
    if (!c || path.isEmpty())
        return {};
    const DataAgent::SqlResult r = c->run("SELECT oid FROM h_equipment WHERE path = ?", {path});
    return r.ok() && r->next() ? r->value(0).toString() : QString();
}
