#pragma once

#include <QString>

#include <functional>

class MAbstractDBInterface;
class MDBRecordBase;

// Walks of the library that several trees make through the database interface.
namespace LibraryWalk {

// Calls visit(picture type, picture) for every picture named pic of the
// application record, in listing order, until visit returns true. The
// records live for the call only.
void ForEachPictureNamed(MAbstractDBInterface* db, MDBRecordBase* application, const QString& pic,
                         const std::function<bool(MDBRecordBase*, MDBRecordBase*)>& visit);

// The name and code of the picture type holding picture pic in the
// application record; false (outputs untouched) when there is none.
bool PictureType(MAbstractDBInterface* db, const MDBRecordBase* application, const QString& pic, QString& type,
                 int& typeCode);

} // namespace LibraryWalk
