#include "mnodesselectdialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "mdeploypaths.h"

MNodesSelectDialog::MNodesSelectDialog(const QStringList& nodes, QWidget* parent)
    : QDialog(parent), m_nodes(nodes)
{
    auto* layout = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(tr("file to be synchronized"), this));
    m_file = new QLineEdit(this);
    fileRow->addWidget(m_file);
    auto* browse = new QPushButton("...", this);
    connect(browse, &QPushButton::clicked, this, &MNodesSelectDialog::slotSelectFile);
    fileRow->addWidget(browse);
    layout->addLayout(fileRow);

    m_table = new QTableWidget(int((nodes.size() + 1) / 2), 2, this);
    for (int i = 0; i < nodes.size(); ++i) {
        auto* item = new QTableWidgetItem(nodes.at(i));
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Checked);
        m_table->setItem(i / 2, i % 2, item);
    }
    layout->addWidget(m_table);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString MNodesSelectDialog::SelectedFile() const
{
    return m_file->text();
}

QStringList MNodesSelectDialog::SelectedNodes() const
{
    QStringList selected = m_nodes;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const QTableWidgetItem* item = m_table->item(row, column);
            if (item && item->checkState() != Qt::Checked)
                selected.removeAll(item->text());
        }
    }
    return selected;
}

void MNodesSelectDialog::slotSelectFile()
{
    // The deployment root of the first use, for the life of the process.
    static const QString root = MDeployPaths::Root();
    const QString file = QFileDialog::getOpenFileName(this, tr("select file"), root);
    if (!file.isEmpty())
        m_file->setText(file);
}
