#pragma once

#include <QString>
#include <QStringList>

class MSqlDataAgent;

namespace SiteGen {

// Names like a control centre's pictures: Chinese station and feeder names,
// some with a voltage or a number, all distinct.
QStringList pictureNames(int count);

// The large site of the design: 50 applications, 1,000 picture types (one
// holding 1,000 pictures), 20,000 pictures with 5 versions each, 3,000 icons.
// Other picture counts (2,000 or 200,000 for the growth of the costs) keep
// the applications, types, the type of 1,000 pictures and the icons.
struct LargeSite
{
    QString bigType; // the type with 1,000 pictures
    QString bigApplication;
    QString error;   // empty when every write succeeded
};
constexpr int kLargeSitePictures = 20000;
LargeSite generateLargeSite(MSqlDataAgent& agent, int pictures = kLargeSitePictures);

// The icon files of the large site, relative to the deployment root
// ("icon/ICONTYPE3/{3-17}.xco"), made 2026-01-01.
QStringList largeSiteIconFiles();

} // namespace SiteGen
