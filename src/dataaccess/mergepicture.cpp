#include "mergepicture.h"

#include <algorithm>

MergePicture::MergePicture(const MergePicture& other)
{
    *this = other;
}

MergePicture& MergePicture::operator=(const MergePicture& other)
{
    if (this == &other)
        return *this;
    typeName = other.typeName;
    typeCode = other.typeCode;
    picture.reset(other.picture ? other.picture->Clone() : nullptr);
    editions.clear();
    for (const auto& edition : other.editions)
        editions.emplace_back(edition->Clone());
    return *this;
}

const MDBRecordEdition* MergePicture::Edition(int version) const
{
    for (const auto& edition : editions) {
        if (edition->version == version)
            return edition.get();
    }
    return nullptr;
}

bool MergePicture::AddEdition(std::unique_ptr<MDBRecordEdition> edition)
{
    if (!edition || Edition(edition->version))
        return false;
    const auto at = std::upper_bound(editions.begin(), editions.end(), edition->version,
                                     [](int v, const auto& e) { return v < e->version; });
    editions.insert(at, std::move(edition));
    return true;
}

QList<int> MergePicture::Versions() const
{
    QList<int> versions;
    for (const auto& edition : editions)
        versions << edition->version;
    return versions;
}
