#pragma once

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QTableWidget;

// Asks for a file and the workstations to push it to: the given node names in
// two columns, each checked at first.
class MNodesSelectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit MNodesSelectDialog(const QStringList& nodes, QWidget* parent = nullptr);

    QString SelectedFile() const;
    // The nodes given, without those the user unchecked.
    QStringList SelectedNodes() const;

public Q_SLOTS:
    void slotSelectFile();

private:
    QStringList m_nodes;
    QLineEdit* m_file;      // owned by the dialog
    QTableWidget* m_table;  // owned by the dialog
};
