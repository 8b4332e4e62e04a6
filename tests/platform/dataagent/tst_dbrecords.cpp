#include <QDomDocument>
#include <memory>

#include "mdbrecordfields.h"
#include "mdbrecords.h"
#include "testmain.h"

class tst_DbRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typesAndDefaults();
    void graphRecordsRoundTripThroughXml();
    void otherRecordsUseTheCommonForm();
    void readingKeepsFieldsOfMissingAttributes();
    void cloneCopiesEveryField();
    void fieldTableReachesItsOwnField();
};

void tst_DbRecords::typesAndDefaults()
{
    // Guards against a record class announcing the wrong type or starting with garbage.
    QCOMPARE(MDBRecordNode().type, MDBRecordBase::RecordNode);
    QCOMPARE(MDBRecordApplication().type, MDBRecordBase::RecordApplication);
    QCOMPARE(MDBRecordPicType().type, MDBRecordBase::RecordPicType);
    QCOMPARE(MDBRecordPicture().type, MDBRecordBase::RecordPicture);
    QCOMPARE(MDBRecordEdition().type, MDBRecordBase::RecordEdition);
    QCOMPARE(MDBRecordIconType().type, MDBRecordBase::RecordIconType);
    QCOMPARE(MDBRecordIcon().type, MDBRecordBase::RecordIcon);
    QCOMPARE(MDBRecordTemplate().type, MDBRecordBase::RecordTemplate);
    QCOMPARE(MDBRecordTemptype().type, MDBRecordBase::RecordTemptype);
    QCOMPARE(int(MDBRecordBase::RecordTemptype), 9);
    const MDBRecordEdition edition;
    QVERIFY(edition.oid.isEmpty() && edition.outerOid.isEmpty() && edition.modifyTime.isEmpty());
    QCOMPARE(edition.version, 0);
    const MDBRecordPicture picture;
    QCOMPARE(picture.inPrivCode + picture.outPrivCode + picture.aorNum, 0);
    const MDBRecordIconType iconType;
    QCOMPARE(iconType.catId + iconType.shapeType, 0u);
    QVERIFY(!iconType.member1);
}

void tst_DbRecords::graphRecordsRoundTripThroughXml()
{
    // Guards against the database export losing or changing a field on the way back.
    MDBRecordPicType type;
    type.oid = "12";
    type.name = QString::fromUtf8("变电站 \"A\" & <B>");
    type.outerOid = "7";
    type.picTypeCode = 255;
    MDBRecordPicture picture;
    picture.oid = "13";
    picture.name = "O'Brien";
    picture.inPrivCode = -1;
    picture.outPrivCode = 2147483647;
    picture.aorNum = 42;
    MDBRecordEdition edition;
    edition.oid = "14";
    edition.name = "3";
    edition.version = 3;
    edition.modifyTime = "2026-12-08T01:02:03";
    edition.nodeName = "ws1";
    edition.versionTime = "";

    QDomDocument doc;
    QDomElement root = doc.createElement("mmiexport");
    doc.appendChild(root);
    QDomElement t = doc.createElement("picType");
    QDomElement p = doc.createElement("picture");
    QDomElement e = doc.createElement("edition");
    type.WriteXml(&t);
    picture.WriteXml(&p);
    edition.WriteXml(&e);
    root.appendChild(t);
    t.appendChild(p);
    p.appendChild(e);

    QDomDocument reread;
    QVERIFY(reread.setContent(doc.toString()));
    QDomElement t2 = reread.documentElement().firstChildElement("picType");
    QDomElement p2 = t2.firstChildElement("picture");
    QDomElement e2 = p2.firstChildElement("edition");
    MDBRecordPicType type2;
    MDBRecordPicture picture2;
    MDBRecordEdition edition2;
    type2.ReadXml(&t2);
    picture2.ReadXml(&p2);
    edition2.ReadXml(&e2);
    QCOMPARE(type2.oid, type.oid);
    QCOMPARE(type2.name, type.name);
    QCOMPARE(type2.outerOid, type.outerOid);
    QCOMPARE(type2.picTypeCode, type.picTypeCode);
    QCOMPARE(picture2.name, picture.name);
    QCOMPARE(picture2.inPrivCode, -1);
    QCOMPARE(picture2.outPrivCode, 2147483647);
    QCOMPARE(picture2.aorNum, 42);
    QCOMPARE(edition2.version, 3);
    QCOMPARE(edition2.modifyTime, edition.modifyTime);
    QCOMPARE(edition2.nodeName, edition.nodeName);
    QCOMPARE(edition2.versionTime, QString());
    QCOMPARE(edition2.type, MDBRecordBase::RecordEdition);
}

void tst_DbRecords::otherRecordsUseTheCommonForm()
{
    // Guards against a record writing fields it cannot read back (or none at all).
    MDBRecordIcon icon;
    icon.oid = "5";
    icon.name = "breaker";
    icon.uuid = "{u}";
    QDomDocument doc;
    QDomElement e = doc.createElement("icon");
    icon.WriteXml(&e);
    QCOMPARE(e.attributes().count(), 4);
    QCOMPARE(e.attribute("type"), QString::number(MDBRecordBase::RecordIcon));
    MDBRecordIcon back;
    back.ReadXml(&e);
    QCOMPARE(back.oid, QString("5"));
    QCOMPARE(back.name, QString("breaker"));
    QVERIFY(back.uuid.isEmpty());
    // A null element is refused quietly.
    back.WriteXml(nullptr);
    back.ReadXml(nullptr);
}

void tst_DbRecords::readingKeepsFieldsOfMissingAttributes()
{
    // Guards against an older or hand-edited export wiping fields it does not mention.
    MDBRecordEdition edition;
    edition.version = 4;
    edition.modifyTime = "2026-01-01T00:00:00";
    QDomDocument doc;
    QDomElement e = doc.createElement("edition");
    e.setAttribute("version", "not a number");
    e.setAttribute("type", "2");
    edition.ReadXml(&e);
    QCOMPARE(edition.version, 4);
    QCOMPARE(edition.modifyTime, QString("2026-01-01T00:00:00"));
    QCOMPARE(edition.type, MDBRecordBase::RecordEdition);
}

void tst_DbRecords::cloneCopiesEveryField()
{
    // Guards against copies of tree items sharing (and double-deleting) one record.
    MDBRecordIcon icon;
    icon.oid = "9";
    icon.name = "n";
    icon.uuid = "u";
    icon.makeTime = "t";
    icon.member2 = true;
    std::unique_ptr<MDBRecordBase> copy(icon.Clone());
    auto* typed = dynamic_cast<MDBRecordIcon*>(copy.get());
    QVERIFY(typed);
    QVERIFY(typed != &icon);
    QCOMPARE(typed->uuid, QString("u"));
    QCOMPARE(typed->makeTime, QString("t"));
    QVERIFY(typed->member2);
    QCOMPARE(typed->type, MDBRecordBase::RecordIcon);
}

void tst_DbRecords::fieldTableReachesItsOwnField()
{
    // Guards against a row of the field table that reads or writes another field than its attribute names.
    for (int t = MDBRecordBase::RecordNode; t <= MDBRecordBase::RecordConfigFile; ++t) {
        const auto type = MDBRecordBase::RecordType(t);
        const QList<MDBRecordField>& fields = MDBRecordFields(type);
        QVERIFY2(!fields.isEmpty(), qPrintable(QString::number(t)));
        for (int i = 0; i < fields.size(); ++i) {
            std::unique_ptr<MDBRecordBase> record(MDBNewRecord(type));
            QVERIFY(record);
            // A value that no other field of a fresh record holds.
            const QVariant value = fields[i].kind == MDBRecordField::Flag ? QVariant(true)
                : fields[i].kind == MDBRecordField::Number                ? QVariant(7)
                                                                          : QVariant(QString("v%1").arg(i));
            fields[i].set(*record, value);
            for (int j = 0; j < fields.size(); ++j) {
                const QString got = fields[j].get(*record).toString();
                if (j == i)
                    QCOMPARE(got, value.toString());
                else
                    QVERIFY2(got != value.toString(), fields[j].attribute);
            }
        }
    }
    QVERIFY(MDBRecordFields(MDBRecordBase::RecordNone).isEmpty());
}

TALMER_TEST_MAIN(tst_DbRecords)
#include "tst_dbrecords.moc"
