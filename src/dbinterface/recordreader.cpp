#include "recordreader.h"


#include "mdataset.h"
#include "mdbrecords.h"
#include "recordtime.h"

namespace {

// One attribute value into the matching field of a record.
void assign(MDBRecordBase* record, const QString& attribute, const QVariant& value)
{
    switch (record->type) {
    case MDBRecordBase::RecordNode:
        if (attribute == "name")
            record->name = value.toString();
        break;
    case MDBRecordBase::RecordApplication: {
        auto* r = static_cast<MDBRecordApplication*>(record);
        if (attribute == "name")
            r->name = value.toString();
        else if (attribute == "alias")
            r->alias = value.toString();
        break;
    }
    case MDBRecordBase::RecordPicType: {
        auto* r = static_cast<MDBRecordPicType*>(record);
        if (attribute == "name")
            r->name = value.toString();
        else if (attribute == "type")
            r->picTypeCode = quint8(value.toUInt()); // the code is 8 bits wide
        break;
    }
    case MDBRecordBase::RecordPicture: {
        auto* r = static_cast<MDBRecordPicture*>(record);
        if (attribute == "picname")
            r->name = value.toString();
        else if (attribute == "in_priv_code")
            r->inPrivCode = value.toInt();
        else if (attribute == "out_priv_code")
            r->outPrivCode = value.toInt();
        else if (attribute == "AORNum")
            r->aorNum = value.toInt();
        break;
    }
    case MDBRecordBase::RecordEdition: {
        auto* r = static_cast<MDBRecordEdition*>(record);
        if (attribute == "modifytime")
            r->modifyTime = RecordReader::IsoTime(value.toString());
        else if (attribute == "version")
            r->version = value.toInt();
        else if (attribute == "node_name")
            r->nodeName = value.toString();
        else if (attribute == "versiontime")
            r->versionTime = RecordReader::ReleaseTime(value.toString());
        break;
    }
    case MDBRecordBase::RecordIconType: {
        auto* r = static_cast<MDBRecordIconType*>(record);
        if (attribute == "name")
            r->name = value.toString();
        else if (attribute == "shapeType")
            r->shapeType = value.toUInt();
        else if (attribute == "catId")
            r->catId = value.toUInt();
        else if (attribute == "member1")
            r->member1 = value.toBool();
        else if (attribute == "editType")
            r->editType = value.toInt();
        break;
    }
    case MDBRecordBase::RecordIcon: {
        auto* r = static_cast<MDBRecordIcon*>(record);
        if (attribute == "name")
            r->name = value.toString();
        else if (attribute == "uuid")
            r->uuid = value.toString();
        else if (attribute == "member1")
            r->member1 = value.toBool();
        else if (attribute == "makeTime")
            r->makeTime = value.toString();
        else if (attribute == "member2")
            r->member2 = value.toBool();
        break;
    }
    case MDBRecordBase::RecordTemplate:
        if (attribute == "alias")
            record->name = value.toString();
        break;
    case MDBRecordBase::RecordTemptype: {
        auto* r = static_cast<MDBRecordTemptype*>(record);
        if (attribute == "name")
            r->name = value.toString();
        else if (attribute == "alias")
            r->alias = value.toString();
        break;
    }
    case MDBRecordBase::RecordConfigFile: {
        auto* r = static_cast<MDBRecordConfigFile*>(record);
        if (attribute == "filename")
            r->name = value.toString();
        else if (attribute == "releaseTime")
            r->releaseTime = value.toString();
        else if (attribute == "filepath")
            r->filePath = value.toString();
        break;
    }
    case MDBRecordBase::RecordNone:
        break;
    }
}

} // namespace

MDBRecordBase* RecordReader::Create(MDBRecordBase::RecordType type)
{
    switch (type) {
    case MDBRecordBase::RecordNode: return new MDBRecordNode;
    case MDBRecordBase::RecordApplication: return new MDBRecordApplication;
    case MDBRecordBase::RecordPicType: return new MDBRecordPicType;
    case MDBRecordBase::RecordPicture: return new MDBRecordPicture;
    case MDBRecordBase::RecordEdition: return new MDBRecordEdition;
    case MDBRecordBase::RecordIconType: return new MDBRecordIconType;
    case MDBRecordBase::RecordIcon: return new MDBRecordIcon;
    case MDBRecordBase::RecordTemplate: return new MDBRecordTemplate;
    case MDBRecordBase::RecordTemptype: return new MDBRecordTemptype;
    case MDBRecordBase::RecordConfigFile: return new MDBRecordConfigFile;
    case MDBRecordBase::RecordNone: break;
    }
    return nullptr;
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
