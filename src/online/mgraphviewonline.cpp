#include "mgraphviewonline.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mgraphprivilege.h"
#include "mgraphtreeviewonline.h"

MGraphViewOnline::MGraphViewOnline(QWidget* parent)
    : MAbstractGraphView(parent), m_tree(nullptr), m_combo(new QComboBox(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_combo->setObjectName("searchBox");
    m_combo->setEditable(true);
    m_combo->installEventFilter(this);
    connect(m_combo, &QComboBox::editTextChanged, this, &MGraphViewOnline::ComboTextChanged);
    layout->addWidget(m_combo);
    m_tree = new MGraphTreeViewOnline(this);
    m_tree->setObjectName("graphTree");
    layout->addWidget(m_tree);
    connect(m_tree, &MGraphTreeViewOnline::GraphSelected, this, &MGraphViewOnline::SendSelected);
    connect(m_combo, qOverload<int>(&QComboBox::activated), this, &MGraphViewOnline::ComboActivated);
}

MGraphViewOnline::~MGraphViewOnline() = default;

bool MGraphViewOnline::GraphType(const QString& picture, const QString& application, QString& type, int& typeValue)
{
    return m_tree->GraphType(picture, application, type, typeValue);
}

void MGraphViewOnline::SelectGraph(const QString& app, const QString& pic, int version, bool)
{
    m_tree->SelectGraphItem(app, pic, version, false);
}

int MGraphViewOnline::GetLatestVersion(const QString& app, const QString& pic)
{
    return m_tree->GetLatestVersion(app, pic);
}

bool MGraphViewOnline::GetLatestFile(const QString& app, const QString& pic, int version)
{
    return m_tree->GetLatestFile(app, pic, version);
}

void MGraphViewOnline::SetUserInfo(const QString& user, const QString& password)
{
    MGraphPrivilege::LogIn(user, password);
    m_loggedIn = MGraphPrivilege::CurrentUser() != nullptr;
}

void MGraphViewOnline::SendSelected(const QString& app, const QString& pic, int edition)
{
    emit GraphSelected(app, pic, edition, 0);
}

void MGraphViewOnline::ComboTextChanged(const QString& text)
{
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    if (text.isEmpty() || !db)
        return;
    QStringList found;
    db->SearchPictures(found, text.toUpper());
    m_search.Refill(m_combo, text, found);
}

void MGraphViewOnline::ComboActivated(int index)
{
    m_tree->SelectGraph(m_combo->currentText(), m_search.Occurrence(m_combo, index));
}

bool MGraphViewOnline::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_combo && PictureSearch::OpensPopup(event))
        m_combo->showPopup(); // the key still reaches the combo
    return MAbstractGraphView::eventFilter(watched, event);
}
