#pragma once

#include <QStringList>

// The picture types a site offers, with their numeric codes.
class MPictureContent
{
public:
    static MPictureContent* Instance();

    // The names of the picture types that may be added, in name order.
    QStringList GetPictypes() const;
    // The code of the named picture type; -1 when there is no such type.
    int PictypeCode(const QString& name) const;

protected:
    MPictureContent() = default;
    ~MPictureContent() = default;

private:
    static MPictureContent* m_pInstance;
};
