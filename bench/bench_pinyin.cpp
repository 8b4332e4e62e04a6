// Pinyin order and initials of 20,000 picture names: the first call (ICU) and
// every later one (cached), against plain sorting of the same names.
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

#include "benchharness.h"
#include "mpinyinsort.h"

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList names = pictureNames(20000);
    MPinYinSort* pinyin = MPinYinSort::Instance();

    QElapsedTimer first;
    first.start();
    QStringList sorted = names;
    pinyin->SortByPY(sorted, true);
    out << QString("%1  %2 ms").arg("first SortByPY of 20,000 names (ICU)", -58).arg(first.elapsed()) << Qt::endl;

    const double sortMicros = Bench::medianMicros([&] {
        QStringList copy = names;
        pinyin->SortByPY(copy, true);
    }, 20);
    const double plainMicros = Bench::medianMicros([&] {
        QStringList copy = names;
        std::sort(copy.begin(), copy.end());
    }, 20);
    Bench::report("SortByPY, 20,000 names, cached", sortMicros, plainMicros, 3.0);
    Bench::reportAbsolute("SortByPY, 20,000 names, cached", sortMicros, 20000);

    const double initialsMicros = Bench::medianMicros([&] {
        int n = 0;
        for (const QString& name : names)
            n += pinyin->GetPYString(name).size();
        return n;
    }, 20);
    const double upperMicros = Bench::medianMicros([&] {
        int n = 0;
        for (const QString& name : names)
            n += name.toUpper().size();
        return n;
    }, 20);
    Bench::report("GetPYString x 20,000, cached (baseline: toUpper)", initialsMicros, upperMicros, 3.0);
    Bench::reportAbsolute("GetPYString x 20,000, cached", initialsMicros, 20000);
    return 0;
}
