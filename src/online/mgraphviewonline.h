#pragma once

#include <QStringList>

#include "mabstractgraphview.h"
#include "picturesearch.h"

class MGraphTreeViewOnline;
class QComboBox;

// The graph library view of the online viewer: a search box above the
// operator's tree. Typing lists the pictures whose name or Pinyin initials
// begin with the text; choosing one opens its latest edition.
class MGraphViewOnline : public MAbstractGraphView
{
    Q_OBJECT

public:
    explicit MGraphViewOnline(QWidget* parent = nullptr);
    ~MGraphViewOnline() override;

    bool GraphType(const QString& picture, const QString& application, QString& type, int& typeValue) override;
    // Expands and shows the picture; never opens it (flag is not used).
    void SelectGraph(const QString& app, const QString& pic, int version, bool flag) override;
    int GetLatestVersion(const QString& app, const QString& pic) override;
    bool GetLatestFile(const QString& app, const QString& pic, int version) override;
    // Logs the operator in; a refused log-in shows no picture until the next
    // successful one (see LoggedIn).
    void SetUserInfo(const QString& user, const QString& password) override;

    // Whether the last SetUserInfo logged somebody in.
    bool LoggedIn() const { return m_loggedIn; }
    MGraphTreeViewOnline* Tree() const { return m_tree; }
    QComboBox* SearchBox() const { return m_combo; }

public Q_SLOTS:
    void SendSelected(const QString& app, const QString& pic, int edition);
    void ComboTextChanged(const QString& text);
    void ComboActivated(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MGraphTreeViewOnline* m_tree; // child widget
    QComboBox* m_combo;           // child widget
    PictureSearch m_search;       // the match list and the saved index
    bool m_loggedIn = false;
};
