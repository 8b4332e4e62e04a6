#include "picturesearchkeys.h"

#include "mdataagent.h"
#include "mdataagenttransaction.h"
#include "mpinyinsort.h"

namespace {

const QString kPicture = QStringLiteral("picture");
const QString kName = QStringLiteral("picname");
const QStringList kKeys{QStringLiteral("searchName"), QStringLiteral("searchInitials")};
// Keys are stored cut to this length (an index entry has a size limit);
// a longer search key is answered by reading every picture.
constexpr int kStoredLength = 200;

} // namespace

QStringList PictureSearchKeys::KeysOf(const QString& name)
{
    const QString upper = name.toUpper();
    return {upper.left(kStoredLength), MPinYinSort::Instance()->GetPYString(upper.toLocal8Bit()).left(kStoredLength)};
}

bool PictureSearchKeys::Matches(const QString& name, const QString& key)
{
    const QString upper = name.toUpper();
    return upper.startsWith(key) || MPinYinSort::Instance()->GetPYString(upper.toLocal8Bit()).startsWith(key);
}

bool PictureSearchKeys::bringUpToDate(MDataAgent* agent)
{
    const QString stamp = QString::fromLatin1(MPinYinSort::Instance()->WordsFingerprint());
    if (agent->SearchKeysStamp(kPicture) != stamp && !agent->ResetSearchKeys(kPicture, stamp))
        return false;
    MDataSet stale;
    if (!agent->QueryUnsetKey(kPicture, kKeys.last(), {kName}, stale))
        return false;
    if (stale.DataNum() == 0)
        return true;
    MDataAgentTransaction transaction(agent);
    for (int i = 0; i < stale.DataNum(); ++i) {
        const QString name = stale.GetFieldValueByIndex(0, i).toString();
        if (!agent->SetSearchKeys(stale.DataAt(i).GetId(), name, kKeys, KeysOf(name)))
            return false;
    }
    return transaction.Commit();
}

bool PictureSearchKeys::Find(MDataAgent* agent, const QString& key, const QStringList& attributes, MDataSet& set)
{
    return key.size() <= kStoredLength && bringUpToDate(agent)
        && agent->QueryPrefix(kPicture, kKeys, key, attributes, set);
}
