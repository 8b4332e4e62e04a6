#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

#include "talmer_export.h"

class MGraphDoc;
class MGraphCompareViewPrivate;

// What changed between two editions of a picture: the list of changes
// (objects added, removed, moved, resized, restyled, texts, icon templates,
// data bindings, document properties) above two pictures, the editions side
// by side and an overlay of the new edition with the changes coloured (added
// green, removed red, changed orange). Selecting a change marks its object in
// both pictures.
//
// Editions are read from the deployment tree (version 0 is the draft), or
// given as drawings by a host that holds one in memory. A comparison that
// cannot be made empties the view and says why in LastError().
class TALMER_EXPORT MGraphCompareView : public QWidget
{
    Q_OBJECT

public:
    explicit MGraphCompareView(QWidget* parent = nullptr);
    ~MGraphCompareView() override;

    // editionA (the older) against editionB of app/pic. False when either
    // edition is missing or does not read.
    bool Compare(const QString& app, const QString& pic, int editionA, int editionB);
    // editionA of app/pic against a drawing the host holds (not kept).
    bool Compare(const QString& app, const QString& pic, int editionA, const MGraphDoc& current);
    // Two drawings the host holds (not kept).
    void Compare(const MGraphDoc& before, const MGraphDoc& after);
    QString LastError() const;

    int ChangeCount() const;
    // The changes as one line each, in the order of the list.
    QStringList ChangeLines() const;
    // Selects a change of the list (-1: none) and marks its object.
    void SelectChange(int row);
    int SelectedChange() const;

    // The versions the deployment tree holds of app/pic, ascending (0: the
    // draft); empty when there are none or no such picture.
    static QList<int> Editions(const QString& app, const QString& pic);
    // How an edition is named to users: "draft" or "version 3".
    static QString EditionName(int edition);

Q_SIGNALS:
    void ChangeSelected(int row);

private:
    std::unique_ptr<MGraphCompareViewPrivate> d; // owned
};
