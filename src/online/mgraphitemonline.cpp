#include "mgraphitemonline.h"

#include <QApplication>
#include <QStyle>

#include "mdbrecordbase.h"

void MGraphItemOnline::showIcon()
{
    if (!Record())
        return;
    // Looked up once: the style's look-up costs more than the rest of an item.
    static const QIcon file = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    static const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    setIcon(0, Holds(MDBRecordBase::RecordEdition) ? file : folder);
}
