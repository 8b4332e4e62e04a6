#include "mdbrecordfields.h"

#include <QHash>

#include "mdbrecords.h"

namespace {

template <class T>
T fromVariant(const QVariant& value);
template <>
QString fromVariant(const QVariant& value) { return value.toString(); }
template <>
int fromVariant(const QVariant& value) { return value.toInt(); }
template <>
uint fromVariant(const QVariant& value) { return value.toUInt(); }
template <>
quint8 fromVariant(const QVariant& value) { return quint8(value.toUInt()); } // codes are 8 bits wide
template <>
bool fromVariant(const QVariant& value) { return value.toBool(); }

template <class T>
QVariant toVariant(const T& value) { return QVariant::fromValue(value); }
// A code is a number, not a character.
QVariant toVariant(const quint8& value) { return uint(value); }

} // namespace

// One table row: the member of Class that mirrors the attribute.
#define M_FIELD(Class, member, attribute, xmlName, kind)                                          \
    MDBRecordField                                                                                 \
    {                                                                                              \
        attribute, xmlName, MDBRecordField::kind,                                                  \
            [](const MDBRecordBase& r) { return toVariant(static_cast<const Class&>(r).member); }, \
            [](MDBRecordBase& r, const QVariant& v) {                                              \
                auto& field = static_cast<Class&>(r).member;                                       \
                field = fromVariant<std::decay_t<decltype(field)>>(v);                             \
            }                                                                                      \
    }

const QList<MDBRecordField>& MDBRecordFields(MDBRecordBase::RecordType type)
{
    using B = MDBRecordBase;
    static const QHash<int, QList<MDBRecordField>> table{
        {B::RecordNode, {M_FIELD(B, name, "name", nullptr, Text)}},
        {B::RecordApplication,
         {M_FIELD(B, name, "name", nullptr, Text), M_FIELD(MDBRecordApplication, alias, "alias", nullptr, Text)}},
        {B::RecordPicType,
         {M_FIELD(B, name, "name", nullptr, Text), M_FIELD(MDBRecordPicType, picTypeCode, "type", "picTypeCode", Number)}},
        {B::RecordPicture,
         {M_FIELD(B, name, "picname", nullptr, Text),
          M_FIELD(MDBRecordPicture, inPrivCode, "in_priv_code", "inPrivCode", Number),
          M_FIELD(MDBRecordPicture, outPrivCode, "out_priv_code", "outPrivCode", Number),
          M_FIELD(MDBRecordPicture, aorNum, "AORNum", "aorNum", Number)}},
        {B::RecordEdition,
         {M_FIELD(MDBRecordEdition, modifyTime, "modifytime", "modifyTime", Time),
          M_FIELD(MDBRecordEdition, version, "version", "version", Number),
          M_FIELD(MDBRecordEdition, nodeName, "node_name", "nodeName", Text),
          M_FIELD(MDBRecordEdition, versionTime, "versiontime", "versionTime", ReleaseTime)}},
        {B::RecordIconType,
         {M_FIELD(B, name, "name", nullptr, Text), M_FIELD(MDBRecordIconType, shapeType, "shapeType", nullptr, Number),
          M_FIELD(MDBRecordIconType, catId, "catId", nullptr, Number),
          M_FIELD(MDBRecordIconType, member1, "member1", nullptr, Flag),
          M_FIELD(MDBRecordIconType, editType, "editType", nullptr, Number)}},
        {B::RecordIcon,
         {M_FIELD(B, name, "name", nullptr, Text), M_FIELD(MDBRecordIcon, uuid, "uuid", nullptr, Text),
          M_FIELD(MDBRecordIcon, member1, "member1", nullptr, Flag),
          M_FIELD(MDBRecordIcon, makeTime, "makeTime", nullptr, Text),
          M_FIELD(MDBRecordIcon, member2, "member2", nullptr, Flag)}},
        {B::RecordTemplate, {M_FIELD(B, name, "alias", nullptr, Text)}},
        {B::RecordTemptype,
         {M_FIELD(B, name, "name", nullptr, Text), M_FIELD(MDBRecordTemptype, alias, "alias", nullptr, Text)}},
        {B::RecordConfigFile,
         {M_FIELD(B, name, "filename", nullptr, Text),
          M_FIELD(MDBRecordConfigFile, releaseTime, "releaseTime", nullptr, Text),
          M_FIELD(MDBRecordConfigFile, filePath, "filepath", nullptr, Text)}},
    };
    static const QList<MDBRecordField> none;
    const auto found = table.constFind(int(type));
    return found == table.cend() ? none : *found;
}

MDBRecordBase* MDBNewRecord(MDBRecordBase::RecordType type)
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
