#pragma once

#include <QList>

class MAbstractDBInterface;

// Holds the process-wide database interface: created the first time anybody
// asks, then the same for every caller until the process ends.
class MDBInterfaceHolder
{
public:
    static MDBInterfaceHolder* Instance();

    MAbstractDBInterface* GetInterface();

    // Makes the next caller get a new interface, built from the configuration
    // of that moment. For tests, which change the configuration between cases.
    // Interfaces handed out before stay valid (the singletons keep theirs).
    void Reset();

protected:
    MDBInterfaceHolder() = default;
    ~MDBInterfaceHolder() = default;

private:
    static MDBInterfaceHolder* m_pInstance;
    MAbstractDBInterface* m_interface = nullptr;       // owned
    QList<MAbstractDBInterface*> m_retired;            // owned; still in use by earlier callers
};
