#include "largesite.h"

#include <QRandomGenerator>

#include "msqldataagent.h"
#include "sitebuilder.h"

namespace Bench {

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

LargeSite generateLargeSite(MSqlDataAgent& agent)
{
    const QStringList names = pictureNames(20000);
    TestSupport::SiteBuilder b(&agent);
    LargeSite site;
    agent.BeginTransaction();
    int picture = 0;
    int typeIndex = 0;
    for (int a = 0; a < 50; ++a) {
        const QString app = b.application(QString("APP%1").arg(a));
        for (int t = 0; t < 20; ++t) {
            const QString type = b.pictureType(app, QString("TYPE%1_%2").arg(a).arg(t), t);
            // 20,000 pictures: one type of 1,000, the rest spread evenly.
            const int typesLeft = 1000 - typeIndex++;
            const bool big = a == 0 && t == 0;
            const int count = big ? 1000 : (20000 - picture + typesLeft - 1) / typesLeft;
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
    for (int c = 0; c < 30; ++c) {
        const QString type = b.iconType(QString("ICONTYPE%1").arg(c), c);
        for (int i = 0; i < 100; ++i)
            b.icon(type, QString("icon%1").arg(i), QString("{%1-%2}").arg(c).arg(i), "2026-01-01T00:00:00");
    }
    agent.CommitTransaction();
    if (!b.ok())
        qFatal("site generation failed: %s", qPrintable(b.errors().left(500)));
    return site;
}

} // namespace Bench
