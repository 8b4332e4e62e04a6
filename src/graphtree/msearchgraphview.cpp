#include "msearchgraphview.h"

#include <QComboBox>
#include <QVBoxLayout>

MSearchGraphView::MSearchGraphView(QWidget* parent, Qt::WindowFlags f)
    : MAbstractGraphView(parent, f), m_combo(new QComboBox(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_combo->setObjectName("searchBox");
    m_combo->setEditable(true);
    m_combo->installEventFilter(this);
    layout->addWidget(m_combo);
    connect(m_combo, &QComboBox::editTextChanged, this, &MSearchGraphView::ComboTextChanged);
    connect(m_combo, qOverload<int>(&QComboBox::activated), this, &MSearchGraphView::ComboActivated);
}

MSearchGraphView::~MSearchGraphView() = default;

void MSearchGraphView::SetTree(QWidget* tree)
{
    tree->setObjectName("graphTree");
    layout()->addWidget(tree);
}

void MSearchGraphView::ComboTextChanged(const QString& text)
{
    m_search.Search(m_combo, text);
}

void MSearchGraphView::ComboActivated(int index)
{
    SearchChosen(m_combo->currentText(), m_search.Occurrence(m_combo, index));
}

bool MSearchGraphView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_combo && PictureSearch::OpensPopup(event))
        m_combo->showPopup(); // the key still reaches the combo box
    return MAbstractGraphView::eventFilter(watched, event);
}
