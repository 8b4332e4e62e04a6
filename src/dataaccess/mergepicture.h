#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <vector>

#include "mdbrecordedition.h"
#include "mdbrecordpicture.h"
#include "mdbrecordpictype.h"

// One picture as a library exchange sees it: its record, its picture type and
// its versions, one record per version number in ascending order. Owns its
// records. The same shape holds a picture read from an export file and one of
// the local library, so that the two can be compared version by version.
class MergePicture
{
public:
    MergePicture() = default;
    MergePicture(const MergePicture& other);
    MergePicture& operator=(const MergePicture& other);
    MergePicture(MergePicture&&) = default;
    MergePicture& operator=(MergePicture&&) = default;

    QString name() const { return picture ? picture->name : QString(); }
    // The version record of that number; null when there is none.
    const MDBRecordEdition* Edition(int version) const;
    // Adds a version unless one of its number is already there (the first
    // wins); keeps the ascending order. False when refused (then deleted).
    bool AddEdition(std::unique_ptr<MDBRecordEdition> edition);
    QList<int> Versions() const;

    QString typeName;
    quint8 typeCode = 0;
    std::unique_ptr<MDBRecordPicture> picture;
    std::vector<std::unique_ptr<MDBRecordEdition>> editions;
};

// A picture type named in an export file, with the code to create it with.
struct MergeType
{
    QString name;
    quint8 code = 0;
};
