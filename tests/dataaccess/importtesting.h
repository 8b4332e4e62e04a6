#pragma once

#include <QString>

class MGraphDoc;

// Drawings for the import tests.
namespace ImportTesting {

// A station drawing (graph type 2, station oldStation) with a title text, a
// station symbol (custom type 1), a jump button (custom type 2) and a binding.
void buildStation(MGraphDoc& doc, const QString& oldStation, int typeId = 2);
// Writes such a drawing to path; false when it cannot.
bool writeStation(const QString& path, const QString& oldStation, int typeId = 2);

} // namespace ImportTesting
