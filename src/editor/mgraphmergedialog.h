#pragma once

#include <QDialog>
#include <QString>

#include <memory>

#include "librarymerge.h"
#include "mergefilereader.h"

class MAbstractDBInterface;
class MDBRecordApplication;
class MGraphTreeViewEditor;
class MMergeDBItem;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QRadioButton;

// Exchanging one application's library records with another site: the local
// pictures, the pictures of an export file with their state against the local
// ones, export, import, and the merge of the chosen file picture. The work is
// LibraryMerge's; this is its view. Long work runs from zero-delay timers
// bound to the dialog, so nothing runs after the dialog is gone.
class MGraphMergeDialog : public QDialog
{
    Q_OBJECT

public:
    // Keeps its own copy of the application record (the tree may delete its
    // own while the dialog is open). tree is not owned and may be null.
    MGraphMergeDialog(MAbstractDBInterface* db, const MDBRecordApplication& application,
                      MGraphTreeViewEditor* tree, QWidget* parent = nullptr);
    ~MGraphMergeDialog() override;

    QString StatusText() const;
    // The file list's item of that name; null when none.
    MMergeDBItem* FileItem(const QString& name) const;

public Q_SLOTS:
    void slotMerge();
    void slotExportFile();
    void slotImportFile();
    void InitLocalData();
    void TimerExportFile();
    void TimerImportFile();
    void FileItemChanged(QListWidgetItem* item);
    void RadioButtonClicked();

private:
    void buildWidgets();
    void setStatus(const QString& text);
    // Asks for an XML file; a choice goes to target and posts the work.
    void askFile(bool save, const QString& title, QString& target, void (MGraphMergeDialog::*work)());
    LibraryMerge::Progress progress();
    void fillLocalList();
    void compareFileItems();
    MMergeDBItem* currentFileItem() const;

    std::unique_ptr<LibraryMerge> m_merge;
    MGraphTreeViewEditor* m_tree; // not owned
    QList<MergeType> m_fileTypes;
    QString m_importPath;
    QString m_exportPath;
    QListWidget* m_fileList = nullptr; // widgets: children of the dialog
    QListWidget* m_localList = nullptr;
    QPushButton* m_importButton = nullptr;
    QPushButton* m_mergeButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QRadioButton* m_allRadio = nullptr;
    QRadioButton* m_changesRadio = nullptr;
    QRadioButton* m_folderRadio = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;
};
