#pragma once

#include <QDialog>

class QSpinBox;

// The privilege codes and area of one picture, read and written through
// MGraphDataAccess.
class PropertyDialog : public QDialog
{
    Q_OBJECT

public:
    PropertyDialog(const QString& app, const QString& pic, QWidget* parent = nullptr);

    // Whether the picture's properties could be read.
    bool Loaded() const { return m_loaded; }

public Q_SLOTS:
    void accept() override;

private:
    QString m_app, m_pic;
    QSpinBox* m_inPrivilege;
    QSpinBox* m_outPrivilege;
    QSpinBox* m_area;
    bool m_loaded = false;
};
