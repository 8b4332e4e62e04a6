#pragma once

#include <QString>

class MDataAgent;
class MGraphDoc;
class MVarenDBInterface;

// The picture imports of the database interface need file uploads, which live
// in a layer above it; that layer registers its implementation here when the
// library is loaded. Without one an import does nothing.
class MPictureImportService
{
public:
    // Where an import looks things up: the interface, the database it reads
    // (the outer one when there is one; not owned) and which one that is.
    struct Context
    {
        MVarenDBInterface* db; // not owned
        MDataAgent* agent;     // not owned
        bool outer;
    };

    virtual ~MPictureImportService();

    virtual void ImportFile(const Context& context, const QString& application, const QString& typeName,
                            const QString& source, int mode, const QString& pictureName, int keep) = 0;
    virtual void ImportDoc(const Context& context, const QString& application, const QString& typeName,
                           MGraphDoc* doc, int mode, const QString& pictureName) = 0;
    virtual void ImportByType(const Context& context, const QString& application, int typeNumber,
                              const QString& source, int mode, int keep) = 0;

    // service lives as long as the process (not owned); the last one registered wins.
    static void Register(MPictureImportService* service);
    static MPictureImportService* Registered();
};
