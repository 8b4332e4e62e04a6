#include "mgraphviewonline.h"

#include <QComboBox>
#include <QKeyEvent>
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
    m_candidates.clear();
    QStringList found;
    db->SearchPictures(found, text.toUpper());
    m_savedIndex = m_combo->currentIndex();
    m_combo->blockSignals(true);
    m_combo->clear();
    m_combo->addItem(text);
    m_combo->addItems(found);
    m_combo->setEditText(text);
    m_combo->blockSignals(false);
    m_candidates << text << found;
}

int MGraphViewOnline::occurrence(int index) const
{
    const QString current = m_combo->currentText();
    int count = 0;
    if (index == 0 && m_savedIndex < m_candidates.size()) {
        for (int i = 1; i <= m_savedIndex; ++i)
            count += m_candidates.at(i) == current ? 1 : 0;
    } else if (index >= 1) {
        for (int i = 1; i <= index && i < m_combo->count(); ++i)
            count += m_combo->itemText(i) == current ? 1 : 0;
    }
    return count > 0 ? count - 1 : 0;
}

void MGraphViewOnline::ComboActivated(int index)
{
    m_tree->SelectGraph(m_combo->currentText(), occurrence(index));
}

bool MGraphViewOnline::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_combo && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return)
        m_combo->showPopup(); // the key still reaches the combo
    return MAbstractGraphView::eventFilter(watched, event);
}
