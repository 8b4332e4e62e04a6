#include "mgraphmergedialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "mgraphtreevieweditor.h"
#include "mmergedbitem.h"

namespace {

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QListWidget* list(const char* name, QWidget* parent)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    return l;
}

// The items of a list in Pinyin order of their names.
void insertSorted(QListWidget* list, const std::vector<MergePicture>& pictures,
                  const std::function<MMergeDBItem*(const MergePicture&)>& make)
{
    for (const QString& name : LibraryMerge::SortedNames(pictures)) {
        for (const MergePicture& picture : pictures) {
            if (picture.name() == name)
                list->addItem(make(picture));
        }
    }
}

} // namespace

MGraphMergeDialog::MGraphMergeDialog(MAbstractDBInterface* db, const MDBRecordApplication& application,
                                     MGraphTreeViewEditor* tree, QWidget* parent)
    : QDialog(parent)
    , m_merge(std::make_unique<LibraryMerge>(db, application))
    , m_tree(tree)
{
    setWindowTitle(tr("db merge"));
    buildWidgets();
    // Show first, then read: bound to this dialog, so it never runs after it.
    QTimer::singleShot(0, this, &MGraphMergeDialog::InitLocalData);
}

MGraphMergeDialog::~MGraphMergeDialog() = default;

void MGraphMergeDialog::buildWidgets()
{
    auto* fileGroup = new QGroupBox(tr("from file"), this);
    m_fileList = list("fileList", fileGroup);
    m_importButton = button(tr("import ..."), "importButton", fileGroup);
    m_mergeButton = button(tr("merge"), "mergeButton", fileGroup);
    m_mergeButton->setEnabled(false);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(m_importButton);
    fileButtons->addWidget(m_mergeButton);
    auto* fileLayout = new QVBoxLayout(fileGroup);
    fileLayout->addWidget(m_fileList);
    fileLayout->addLayout(fileButtons);

    auto* localGroup = new QGroupBox(tr("local graphs"), this);
    m_localList = list("localList", localGroup);
    m_exportButton = button(tr("export..."), "exportButton", localGroup);
    auto* localLayout = new QVBoxLayout(localGroup);
    localLayout->addWidget(m_localList);
    localLayout->addWidget(m_exportButton);

    m_allRadio = new QRadioButton(tr("all"), this);
    m_allRadio->setObjectName("allRadio");
    m_allRadio->setChecked(true);
    m_changesRadio = new QRadioButton(tr("changes item"), this);
    m_changesRadio->setObjectName("changesRadio");
    m_folderRadio = new QRadioButton(tr("graph folder"), this);
    m_folderRadio->setObjectName("folderRadio");
    auto* radios = new QHBoxLayout;
    for (QRadioButton* radio : {m_allRadio, m_changesRadio, m_folderRadio}) {
        radios->addWidget(radio);
        connect(radio, &QRadioButton::clicked, this, &MGraphMergeDialog::RadioButtonClicked);
    }
    radios->addStretch();

    m_progress = new QProgressBar(this);
    m_progress->setObjectName("progressBar");
    m_status = new QLabel(this);
    m_status->setObjectName("statusLabel");
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setWordWrap(true);
    auto* close = button(tr("close"), "closeButton", this);

    auto* lists = new QHBoxLayout;
    lists->addWidget(fileGroup);
    lists->addWidget(localGroup);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(radios);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(close, 0, Qt::AlignRight);

    connect(m_importButton, &QPushButton::clicked, this, &MGraphMergeDialog::slotImportFile);
    connect(m_mergeButton, &QPushButton::clicked, this, &MGraphMergeDialog::slotMerge);
    connect(m_exportButton, &QPushButton::clicked, this, &MGraphMergeDialog::slotExportFile);
    connect(m_fileList, &QListWidget::itemClicked, this, &MGraphMergeDialog::FileItemChanged);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QString MGraphMergeDialog::StatusText() const
{
    return m_status->text();
}

void MGraphMergeDialog::setStatus(const QString& text)
{
    m_status->setText(text);
}

LibraryMerge::Progress MGraphMergeDialog::progress()
{
    m_progress->show();
    const QString prefix = StatusText();
    return [this, prefix](int done, int total, const QString& name) {
        m_progress->setMaximum(total);
        m_progress->setValue(done);
        m_status->setText(prefix + " " + name);
    };
}

void MGraphMergeDialog::InitLocalData()
{
    setStatus(tr("initing local database..."));
    if (!m_merge->LoadLocal(progress())) {
        setStatus(tr("the application cannot be read"));
        return;
    }
    fillLocalList();
    setStatus(tr("initing local database finished"));
    m_progress->hide();
}

void MGraphMergeDialog::fillLocalList()
{
    m_localList->clear();
    insertSorted(m_localList, m_merge->LocalPictures(), [](const MergePicture& p) { return new MMergeDBItem(p); });
}

void MGraphMergeDialog::askFile(bool save, const QString& title, QString& target, void (MGraphMergeDialog::*work)())
{
    const QString path = save ? QFileDialog::getSaveFileName(this, title, QString(), "*.xml")
                              : QFileDialog::getOpenFileName(this, title, QString(), "*.xml");
    if (path.isEmpty())
        return;
    target = path;
    QTimer::singleShot(0, this, work);
}

void MGraphMergeDialog::slotExportFile()
{
    askFile(true, tr("export file"), m_exportPath, &MGraphMergeDialog::TimerExportFile);
}

void MGraphMergeDialog::TimerExportFile()
{
    setStatus(tr("exporting MMI database"));
    QString error;
    const bool written = m_merge->Export(m_exportPath, &error, progress());
    m_progress->hide();
    setStatus(written ? tr("export MMI database finished") : tr("export MMI database failed") + ": " + error);
}

void MGraphMergeDialog::slotImportFile()
{
    askFile(false, tr("import database"), m_importPath, &MGraphMergeDialog::TimerImportFile);
}

void MGraphMergeDialog::TimerImportFile()
{
    MergeFileReader::Result read = MergeFileReader::ReadFile(m_importPath);
    m_fileList->clear();
    m_fileTypes.clear();
    m_mergeButton->setEnabled(false);
    if (!read.ok) {
        setStatus(tr("read data from file failed") + ": " + read.error);
        return;
    }
    setStatus(tr("reading data from file"));
    m_fileTypes = read.types;
    insertSorted(m_fileList, read.pictures, [](const MergePicture& p) { return new MMergeDBItem(p); });
    setStatus(tr("read data from file finished"));
    compareFileItems();
    RadioButtonClicked();
}

void MGraphMergeDialog::compareFileItems()
{
    setStatus(tr("comparing to local data"));
    for (int i = 0; i < m_fileList->count(); ++i) {
        auto* item = static_cast<MMergeDBItem*>(m_fileList->item(i));
        item->SetState(LibraryMerge::Compare(item->Picture(), m_merge->LocalPicture(item->text())));
    }
    setStatus(tr("comparing to local data finished"));
}

MMergeDBItem* MGraphMergeDialog::FileItem(const QString& name) const
{
    for (int i = 0; i < m_fileList->count(); ++i) {
        if (m_fileList->item(i)->text() == name)
            return static_cast<MMergeDBItem*>(m_fileList->item(i));
    }
    return nullptr;
}

MMergeDBItem* MGraphMergeDialog::currentFileItem() const
{
    return static_cast<MMergeDBItem*>(m_fileList->currentItem());
}

void MGraphMergeDialog::FileItemChanged(QListWidgetItem* item)
{
    auto* file = static_cast<MMergeDBItem*>(item);
    if (!file)
        return;
    const int state = file->State();
    m_mergeButton->setEnabled(state == LibraryMerge::FileOnly || state == LibraryMerge::Different);
    const QList<QListWidgetItem*> local = m_localList->findItems(file->text(), Qt::MatchExactly);
    if (!local.isEmpty())
        m_localList->setCurrentItem(local.first());
    if (state == LibraryMerge::Merged)
        setStatus(tr("merged already!"));
    else if (state != LibraryMerge::Same)
        setStatus(tr("merge will write: %1").arg(m_merge->PlanFor(file->Picture()).Describe()));
    else
        setStatus(QString());
}

void MGraphMergeDialog::slotMerge()
{
    MMergeDBItem* item = currentFileItem();
    if (!item || (item->State() != LibraryMerge::FileOnly && item->State() != LibraryMerge::Different))
        return;
    QString message, detail;
    const LibraryMerge::Outcome outcome = m_merge->Merge(item->Picture(), &message, &detail);
    setStatus(detail.isEmpty() ? message : message + " " + detail);
    if (outcome == LibraryMerge::Outcome::Failed)
        return;
    // What the library holds now decides the state, not what was meant.
    const LibraryMerge::Plan left = m_merge->PlanFor(item->Picture());
    if (!left.writes())
        item->SetState(LibraryMerge::Merged);
    m_mergeButton->setEnabled(item->State() != LibraryMerge::Merged);
    fillLocalList();
}

void MGraphMergeDialog::RadioButtonClicked()
{
    const QDir folder = QFileInfo(m_importPath).absoluteDir();
    const QStringList entries = m_folderRadio->isChecked() ? folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                                           : QStringList();
    for (int i = 0; i < m_fileList->count(); ++i) {
        auto* item = static_cast<MMergeDBItem*>(m_fileList->item(i));
        bool shown = true;
        if (m_changesRadio->isChecked())
            shown = item->State() != LibraryMerge::Same;
        else if (m_folderRadio->isChecked())
            shown = entries.contains(item->text());
        item->setHidden(!shown);
    }
}
