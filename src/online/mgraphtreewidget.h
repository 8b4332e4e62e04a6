#pragma once

#include <QMap>
#include <QString>
#include <QTreeWidget>

#include "mtranslate.h"
#include "talmer_export.h"

class MAbstractDBInterface;
class MDBRecordNode;
class MTreeWidgetItem;

// A plain tree of the graph library (applications, picture types, pictures,
// versions) for a host's own window: no privilege filter, no files, no menu.
// A host derives from it and overrides the click handlers, for instance
// EditionClicked to emit GraphSelected.
class TALMER_EXPORT MGraphTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit MGraphTreeWidget(QWidget* parent = nullptr);
    ~MGraphTreeWidget() override;

    M_DECLARE_TRUTF8

    MAbstractDBInterface* DBInterface() const { return m_dbInterface; }

Q_SIGNALS:
    // For derived classes: the base class never emits it.
    void GraphSelected(const QString& app, const QString& pic, int edition);

protected:
    virtual void InitTreeWidget();
    virtual void AppClicked(MTreeWidgetItem* item);
    virtual void PictypeClicked(MTreeWidgetItem* item);
    virtual void PictureClicked(MTreeWidgetItem* item);
    virtual void EditionClicked(MTreeWidgetItem* item);

protected Q_SLOTS:
    void slotItemClicked(QTreeWidgetItem* item, int column);

protected:
    MAbstractDBInterface* m_dbInterface;       // not owned: the process-wide interface
    MDBRecordNode* m_nodeRecord;               // owned
    MTreeWidgetItem* m_currentApplication;     // items are owned by the tree
    MTreeWidgetItem* m_currentPictureType;
    MTreeWidgetItem* m_currentPicture;
    QMap<QString, QString> m_appDisplayNames;  // application name -> display text

private:
    // Makes item the current one of its level, unless it is already.
    void open(MTreeWidgetItem*& current, MTreeWidgetItem* item);
};
