#include "mergefilereader.h"

#include <QDomDocument>

#include <algorithm>
#include <QFile>
#include <QSet>
#include <QXmlStreamReader>

#include "mdbaccesshelper.h"
#include "recordtime.h"

namespace {

const char* const kLevels[] = {"mmiexport", "picType", "picture", "edition"};
constexpr int kDepth = 4;

QString nameProblem(const QString& name)
{
    return MDbAccessHelper::NameProblem(name, MDbAccessHelper::PictureName);
}

// A record read from a file keeps none of the other site's identifiers.
void forgetIdentifiers(MDBRecordBase& record)
{
    record.oid.clear();
    record.outerOid.clear();
}

bool readCode(const QDomElement& element, quint8& code)
{
    bool ok = false;
    const uint value = element.attribute("picTypeCode").toUInt(&ok);
    code = quint8(value); // codes are 8 bits wide, as in the database
    return ok;
}

// The version as the file has it, or the reason it is skipped.
QString readEdition(QDomElement& element, std::unique_ptr<MDBRecordEdition>& out)
{
    bool ok = false;
    const int version = element.attribute("version").toInt(&ok);
    if (!ok || version < 0)
        return QString("version number '%1' does not parse").arg(element.attribute("version"));
    auto edition = std::make_unique<MDBRecordEdition>();
    edition->ReadXml(&element);
    forgetIdentifiers(*edition);
    edition->version = version;
    edition->modifyTime = RecordTime::Iso(edition->modifyTime);
    if (!RecordTime::Seconds(edition->modifyTime))
        return QString("version %1: modification time '%2' does not parse").arg(version).arg(edition->modifyTime);
    if (!edition->versionTime.isEmpty()) {
        edition->versionTime = RecordTime::Iso(edition->versionTime);
        if (!RecordTime::Seconds(edition->versionTime))
            return QString("version %1: release time '%2' does not parse").arg(version).arg(edition->versionTime);
    }
    out = std::move(edition);
    return {};
}

void readPicture(QDomElement& element, const MergeType& type, MergeFileReader::Result& result,
                 QSet<QString>& names)
{
    auto picture = std::make_unique<MDBRecordPicture>();
    picture->ReadXml(&element);
    forgetIdentifiers(*picture);
    const QString problem = nameProblem(picture->name);
    if (!problem.isEmpty()) {
        result.warnings << QString("picture '%1' skipped: %2").arg(picture->name, problem);
        return;
    }
    if (names.contains(picture->name)) {
        result.warnings << QString("picture '%1' skipped: listed twice").arg(picture->name);
        return;
    }
    names.insert(picture->name);
    MergePicture item;
    item.typeName = type.name;
    item.typeCode = type.code;
    item.picture = std::move(picture);
    for (QDomElement e = element.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        std::unique_ptr<MDBRecordEdition> edition;
        const QString why = readEdition(e, edition);
        if (!why.isEmpty())
            result.warnings << QString("picture '%1': %2, skipped").arg(item.name(), why);
        else if (!item.AddEdition(std::move(edition)))
            result.warnings << QString("picture '%1': a version listed twice, skipped").arg(item.name());
    }
    result.pictures.push_back(std::move(item));
}

} // namespace

MergeFileReader::Result MergeFileReader::ReadFile(const QString& path, qint64 maxBytes)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QString("cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    if (file.size() > maxBytes) {
        result.error = QString("%1 is larger than an export file may be (%2 bytes)").arg(path).arg(maxBytes);
        return result;
    }
    return Parse(file.read(maxBytes + 1));
}

QString MergeFileReader::structureProblem(const QByteArray& data)
{
    QXmlStreamReader xml(data);
    int depth = 0;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            return "a document type is not allowed in an export file";
        case QXmlStreamReader::EntityReference:
            return "entity references are not allowed in an export file";
        case QXmlStreamReader::StartElement:
            if (depth >= kDepth)
                return QString("element '%1' nests deeper than an export file").arg(xml.name());
            if (xml.name() != QLatin1String(kLevels[depth]))
                return depth == 0 ? QString("not an export file (its root is '%1', not 'mmiexport')").arg(xml.name())
                                  : QString("element '%1' where an export file has '%2'").arg(xml.name(),
                                                                                              kLevels[depth]);
            sawRoot = true;
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        return QString("not well-formed XML: %1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
    return sawRoot ? QString() : "the file holds no document element";
}

MergeFileReader::Result MergeFileReader::Parse(const QByteArray& data)
{
    Result result;
    result.error = structureProblem(data);
    if (!result.error.isEmpty())
        return result;
    QDomDocument document;
    // Bytes, not text: the reader then decodes by the declared encoding.
    if (!document.setContent(data, &result.error)) {
        result.error = "not well-formed XML: " + result.error;
        return result;
    }
    QSet<QString> names;
    const QDomElement root = document.documentElement();
    for (QDomElement t = root.firstChildElement(); !t.isNull(); t = t.nextSiblingElement()) {
        MergeType type;
        type.name = t.attribute("name");
        const QString problem = nameProblem(type.name);
        if (!problem.isEmpty() || !readCode(t, type.code)) {
            result.warnings << QString("picture type '%1' skipped: %2")
                                   .arg(type.name, problem.isEmpty() ? "its code does not parse" : problem);
            continue;
        }
        if (std::none_of(result.types.cbegin(), result.types.cend(),
                         [&](const MergeType& known) { return known.name == type.name; }))
            result.types << type;
        for (QDomElement p = t.firstChildElement(); !p.isNull(); p = p.nextSiblingElement())
            readPicture(p, type, result, names);
    }
    result.ok = true;
    return result;
}
