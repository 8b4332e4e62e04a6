#pragma once

#include <QString>

// A picture's folder in the deployment tree (pic/{application}/{picture}) and
// on the file server, as the editor's commands move it: to the holding place
// pic/temporary/{picture} when the picture is deleted, to its new name when it
// is renamed. Every function refuses names that are not a single safe path
// part before it builds a path, so a name read from a database cannot lead a
// move out of the graph store; failures are results with a reason.
namespace PictureFolders {

// True when name can be one component of a path: not empty, not "." or "..",
// no "/" or "\" and no control character.
bool IsSafeName(const QString& name);

// Empties the holding place of picture (pic/temporary/{picture}) with the
// store-confined removal and moves the picture's folder there. A folder that
// was never fetched here is no failure. False (why says it) when the holding
// place cannot be cleared or the folder cannot be moved; the folder then
// stays where it was.
bool MoveToHolding(const QString& application, const QString& picture, QString* why);
// Moves a folder that MoveToHolding put aside back to its place (used when
// the command it was part of failed later). False when it cannot.
bool RestoreFromHolding(const QString& application, const QString& picture);

// Renames the picture's folder from oldName to newName. A leftover folder of
// the new name goes to the holding place first; a picture whose folder was
// never fetched here has nothing to rename and succeeds. On failure nothing
// is left changed (a leftover that was put aside is put back) and why says
// what failed.
bool Rename(const QString& application, const QString& oldName, const QString& newName, QString* why);

// Removes the picture's folder from the file server.
void RemoveFromServer(const QString& application, const QString& picture);
// Renames the picture's folder on the file server.
void RenameOnServer(const QString& application, const QString& oldName, const QString& newName);

} // namespace PictureFolders
