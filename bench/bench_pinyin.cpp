// Pinyin order and initials of 20,000 picture names: the first call (ICU) and
// every later one (cached), against plain sorting of the same names.
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

#include "benchharness.h"
#include "largesite.h"
#include "mpinyinsort.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList names = SiteGen::pictureNames(20000);
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
