#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// Where icon files lie and what they look like: the services the icon views
// share. Stateless; every call reads the icon file again.
class MIconFileService
{
public:
    static MIconFileService* Instance();

    // The name and uuid (as text) of the icon template in an ".xco" file; an
    // unreadable file gives empty texts.
    void ReadIconFileInfo(const QString& path, QString& name, QString& uuid) const;
    // The picture of one icon at its default size (w + 1) x h. iconName is the
    // icon's uuid; with an empty iconName and a typeName holding ".xco",
    // typeName is the file itself (the import preview). An icon larger than
    // 512 x 512 is drawn scaled down to fit in that cell.
    QPixmap IconPixmap(const QString& typeName, const QString& iconName) const;
    // All display patterns of one icon side by side: n cells of the default
    // width, with a 5-pixel margin right and below. Cells are scaled down as
    // for IconPixmap, and further when the row would be wider than 4096.
    QPixmap IconPatternsPixmap(const QString& typeName, const QString& iconName) const;
    // The built-in picture of an icon type by its catalog id; null for 67 and
    // above, and for negative ids.
    QIcon ElementIcon(int catId) const;

    // The ".xco" file the two picture services read.
    static QString IconFilePath(const QString& typeName, const QString& iconName);
    // The resource name of the element picture of a catalog id; empty for none.
    static QString ElementIconName(int catId);

protected:
    MIconFileService() = default;
    ~MIconFileService() = default;

private:
    static MIconFileService* m_pInstance;
};
