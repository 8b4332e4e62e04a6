#pragma once

#include <QDialog>

class MDBRecordPicType;
class QComboBox;
class QLineEdit;

// Asks which of the site's picture types to add to an application, showing
// the chosen type's code. Ok gives the record the type's name and code.
class MAddPictypeDlg : public QDialog
{
    Q_OBJECT

public:
    // record is the new picture type record; not owned, it must outlive the dialog.
    explicit MAddPictypeDlg(MDBRecordPicType* record, QWidget* parent = nullptr);

public Q_SLOTS:
    // Shows the code of the picture type named text.
    void TypeChanged(const QString& text);
    void OkClicked();
    void CancelClicked();

private:
    MDBRecordPicType* m_record; // not owned
    QComboBox* m_combo;         // child
    QLineEdit* m_code;          // child, read-only
};
