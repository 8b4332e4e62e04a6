#include "librarywalk.h"

#include "mabstractdbinterface.h"
#include "mdbrecordpictype.h"
#include "recordlist.h"

namespace LibraryWalk {

void ForEachPictureNamed(MAbstractDBInterface* db, MDBRecordBase* application, const QString& pic,
                         const std::function<bool(MDBRecordBase*, MDBRecordBase*)>& visit)
{
    RecordList types;
    db->GetChildren(application, types.out());
    for (MDBRecordBase* type : types) {
        RecordList pictures;
        db->GetChildren(type, pictures.out());
        for (MDBRecordBase* picture : pictures) {
            if (picture->name == pic && visit(type, picture))
                return;
        }
    }
}

bool PictureType(MAbstractDBInterface* db, const MDBRecordBase* application, const QString& pic, QString& type,
                 int& typeCode)
{
    MDBRecordPicType found;
    if (!db || !application || !db->FindPictureType(pic, application->oid, &found))
        return false;
    type = found.name;
    typeCode = found.picTypeCode;
    return true;
}

} // namespace LibraryWalk
