#pragma once

#include <QDialog>

class QSpinBox;

// Asks for the inner and the web (outer-network) privilege codes that a batch
// of pictures gets.
class MBatchSetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MBatchSetDialog(QWidget* parent = nullptr);

    void GetValues(int& innerPrivilege, int& webPrivilege) const;

public Q_SLOTS:
    void OkClicked();
    void CancelClicked();

private:
    QSpinBox* m_inner; // owned by the dialog
    QSpinBox* m_web;   // owned by the dialog
};
