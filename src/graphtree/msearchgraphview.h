#pragma once

#include "mabstractgraphview.h"
#include "picturesearch.h"

class QComboBox;

// A graph view made of a search box above a tree. Typing lists the pictures
// whose name or Pinyin initials begin with the text; Return opens the list;
// choosing an entry calls SearchChosen with the name and which of the
// applications holding that name is meant.
class MSearchGraphView : public MAbstractGraphView
{
    Q_OBJECT

public:
    explicit MSearchGraphView(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MSearchGraphView() override;

    QComboBox* SearchBox() const { return m_combo; }

public Q_SLOTS:
    void ComboTextChanged(const QString& text);
    void ComboActivated(int index);

protected:
    // Puts the tree below the search box; once, from the derived constructor.
    void SetTree(QWidget* tree);
    // The picture chosen: name, in the occurrence-th application holding it (0 the first).
    virtual void SearchChosen(const QString& name, int occurrence) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* m_combo;     // child widget
    PictureSearch m_search; // the match list and the saved index
};
