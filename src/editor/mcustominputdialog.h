#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// Asks a picture's name together with the substation (or feeder) it shows.
// When the substation field gets the focus while empty, it takes the picture
// name, which is what the engineer usually means.
class MCustomInputDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MCustomInputDialog(QWidget* parent = nullptr);

    QString PictureName() const;
    QString SubstationName() const;
    void SetPictureName(const QString& name);
    void SetSubstationName(const QString& name);
    // The label of the second field ("substation name:" until changed).
    void SetSubstationLabel(const QString& text);

public Q_SLOTS:
    void SlotFocusChanged(QWidget* old, QWidget* now);

private:
    QLineEdit* m_pictureName;    // child
    QLabel* m_substationLabel;   // child
    QLineEdit* m_substationName; // child
};
