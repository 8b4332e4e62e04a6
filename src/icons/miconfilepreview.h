#pragma once

#include <QWidget>

#include "mtranslate.h"

class QLabel;
class QLineEdit;
class QUrl;

// The preview beside the file list of the icon import dialog: the icon's name
// above its picture.
class MIconFilePreview : public QWidget
{
    Q_OBJECT

public:
    explicit MIconFilePreview(QWidget* parent = nullptr);

    M_DECLARE_TRUTF8

    QString ShownName() const;
    const QLabel* PictureLabel() const { return m_picture; }

public Q_SLOTS:
    // Shows an ".xco" file; other files leave the preview as it was.
    void previewUrl(const QUrl& url);
    void previewPath(const QString& path);

private:
    QLineEdit* m_name; // owned by the widget
    QLabel* m_picture; // owned by the widget
};
