#pragma once

#include <QList>

#include "mdbrecordbase.h"

// A list of records received from the database interface, deleted with the
// list: the receiver owns them. Take() hands one record on to a new owner.
class RecordList
{
public:
    RecordList() = default;
    ~RecordList() { qDeleteAll(m_records); }
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    // The list to pass to the interface's listing operations.
    QList<MDBRecordBase*>& out() { return m_records; }
    const QList<MDBRecordBase*>& records() const { return m_records; }
    int size() const { return int(m_records.size()); }
    bool isEmpty() const { return m_records.isEmpty(); }
    MDBRecordBase* at(int i) const { return m_records.at(i); }
    QList<MDBRecordBase*>::const_iterator begin() const { return m_records.cbegin(); }
    QList<MDBRecordBase*>::const_iterator end() const { return m_records.cend(); }

    // Removes the record from the list; the caller owns it from now on.
    MDBRecordBase* Take(MDBRecordBase* record)
    {
        m_records.removeOne(record);
        return record;
    }
    void Clear()
    {
        qDeleteAll(m_records);
        m_records.clear();
    }

private:
    QList<MDBRecordBase*> m_records; // owned
};
