#include "miconfilepreview.h"

#include <QLabel>
#include <QLineEdit>
#include <QUrl>
#include <QVBoxLayout>

#include "miconfileservice.h"

MIconFilePreview::MIconFilePreview(QWidget* parent)
    : QWidget(parent), m_name(new QLineEdit(this)), m_picture(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    m_name->setObjectName("iconName");
    m_picture->setObjectName("iconPicture");
    m_name->setReadOnly(true);
    m_picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_picture->setMinimumSize(60, 60);
    layout->addWidget(m_name);
    layout->addWidget(m_picture, 1);
}

QString MIconFilePreview::ShownName() const
{
    return m_name->text();
}

void MIconFilePreview::previewUrl(const QUrl& url)
{
    previewPath(url.toLocalFile());
}

void MIconFilePreview::previewPath(const QString& path)
{
    if (!path.contains(".xco"))
        return;
    MIconFileService* service = MIconFileService::Instance();
    QString name, uuid;
    service->ReadIconFileInfo(path, name, uuid);
    m_name->setText(name);
    const QPixmap picture = service->IconPixmap(path, QString());
    if (picture.isNull())
        m_picture->setText(tr("preview failed"));
    else
        m_picture->setPixmap(picture);
}
