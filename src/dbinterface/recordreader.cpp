#include "recordreader.h"


#include "mdataset.h"
#include "mdbrecordfields.h"
#include "mdbrecords.h"
#include "recordtime.h"

namespace {

// One attribute value into the field of the record that mirrors it.
void assign(MDBRecordBase* record, const QString& attribute, const QVariant& value)
{
    for (const MDBRecordField& field : MDBRecordFields(record->type)) {
        if (attribute != QLatin1String(field.attribute))
            continue;
        switch (field.kind) {
        case MDBRecordField::Time:
            field.set(*record, RecordReader::IsoTime(value.toString()));
            break;
        case MDBRecordField::ReleaseTime:
            field.set(*record, RecordReader::ReleaseTime(value.toString()));
            break;
        default:
            field.set(*record, value);
        }
        return;
    }
}

} // namespace

MDBRecordBase* RecordReader::Create(MDBRecordBase::RecordType type)
{
    return MDBNewRecord(type);
}

void RecordReader::Read(const MDataSet& set, MDBRecordBase::RecordType type, Source source,
                        QList<MDBRecordBase*>& out)
{
    const MDataType& fields = set.DataType();
    for (int i = 0; i < set.DataNum(); ++i) {
        MDBRecordBase* record = Create(type);
        if (!record)
            return;
        out.append(record);
        const MDataObject& object = set.DataAt(i);
        (source == OuterDatabase ? record->outerOid : record->oid) = object.GetId().toString();
        for (int j = 0; j < fields.FieldNum() && j < object.FieldNum(); ++j) {
            if (!object.FieldAt(j).IsNull())
                assign(record, fields.FieldAt(j).name, object.FieldAt(j).GetValue());
        }
    }
}

QString RecordReader::IsoTime(const QString& stored)
{
    QString iso = stored;
    return iso.replace(' ', 'T');
}

QString RecordReader::ReleaseTime(const QString& stored)
{
    const std::optional<qint64> seconds = RecordTime::Seconds(stored);
    return seconds && *seconds > 0 ? IsoTime(stored) : QString();
}
