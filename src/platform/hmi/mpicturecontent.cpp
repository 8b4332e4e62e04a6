#include "mpicturecontent.h"

#include "hmistore.h"

MPictureContent* MPictureContent::m_pInstance = nullptr;

MPictureContent* MPictureContent::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MPictureContent;
    return m_pInstance;
}

QStringList MPictureContent::GetPictypes() const
{
    QStringList names;
    for (const auto& [name, code] : HmiStore::instance().snapshot().pictureTypes)
        names << name;
    return names;
}

int MPictureContent::PictypeCode(const QString& name) const
{
    for (const auto& [typeName, code] : HmiStore::instance().snapshot().pictureTypes) {
        if (typeName == name)
            return code;
    }
    return -1;
}
