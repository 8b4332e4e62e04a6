#include "largesite.h"

#include <QRandomGenerator>

#include "msqldataagent.h"
#include "sitebuilder.h"

namespace SiteGen {

namespace {

constexpr int kIconTypes = 30;
constexpr int kIconsPerType = 100;

QString iconTypeName(int type)
{
    return QString("ICONTYPE%1").arg(type);
}

QString iconUuid(int type, int icon)
{
    return QString("{%1-%2}").arg(type).arg(icon);
}

} // namespace

QStringList pictureNames(int count)
{
    const QString common = QString::fromUtf8("北京上海广州深圳天津重庆长沙厦门南京杭州东西南北中"
                                             "变电站开关母线主变线路馈线电厂风电光伏水电");
    QRandomGenerator random(20261208);
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString name;
        if (i % 5 == 0)
            name = QString("%1kV").arg(10 * (1 + random.bounded(50)));
        const int length = 2 + random.bounded(6);
        for (int c = 0; c < length; ++c)
            name += common.at(random.bounded(int(common.size())));
        if (i % 7 == 0)
            name += QString("#%1").arg(random.bounded(10));
        names << name + QString::number(i);
    }
    return names;
}

LargeSite generateLargeSite(MSqlDataAgent& agent, int pictures)
{
    const int total = qMax(pictures, 2000);
    const QStringList names = pictureNames(total);
    SiteBuilder b(&agent);
    LargeSite site;
    agent.BeginTransaction();
    int picture = 0;
    int typeIndex = 0;
    for (int a = 0; a < 50; ++a) {
        const QString app = b.application(QString("APP%1").arg(a));
        for (int t = 0; t < 20; ++t) {
            const QString type = b.pictureType(app, QString("TYPE%1_%2").arg(a).arg(t), t);
            // One type of 1,000, the rest spread evenly.
            const int typesLeft = 1000 - typeIndex++;
            const bool big = a == 0 && t == 0;
            const int count = big ? 1000 : (total - picture + typesLeft - 1) / typesLeft;
            for (int p = 0; p < count; ++p, ++picture) {
                const QString pic = b.picture(type, names.at(picture), p % 5, 0, p % 7);
                for (int v = 0; v < 5; ++v)
                    b.edition(pic, v, "2026-01-01T00:00:00");
            }
            if (big) {
                site.bigType = type;
                site.bigApplication = app;
            }
        }
    }
    for (int c = 0; c < kIconTypes; ++c) {
        const QString type = b.iconType(iconTypeName(c), c);
        for (int i = 0; i < kIconsPerType; ++i)
            b.icon(type, QString("icon%1").arg(i), iconUuid(c, i), "2026-01-01T00:00:00");
    }
    if (b.ok() && agent.CommitTransaction())
        return site;
    agent.RollbackTransaction();
    site.error = b.ok() ? QString("cannot commit the large site") : b.errors().left(500);
    return site;
}

QStringList largeSiteIconFiles()
{
    QStringList files;
    for (int c = 0; c < kIconTypes; ++c) {
        for (int i = 0; i < kIconsPerType; ++i)
            files << QString("icon/%1/%2.xco").arg(iconTypeName(c), iconUuid(c, i));
    }
    return files;
}

} // namespace SiteGen
