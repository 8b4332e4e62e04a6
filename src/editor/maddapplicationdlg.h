#pragma once

#include <QDialog>

class MDBRecordBase;
class QComboBox;

// Asks which application of the site's dictionary to add to the graph
// library. Ok names the given record after the chosen entry.
class MAddApplicationDlg : public QDialog
{
    Q_OBJECT

public:
    // record is the new application record; not owned, it must outlive the dialog.
    explicit MAddApplicationDlg(MDBRecordBase* record, QWidget* parent = nullptr);

public Q_SLOTS:
    void OkClicked();
    void CancelClicked();

private:
    MDBRecordBase* m_record; // not owned
    QComboBox* m_combo;      // child
};
