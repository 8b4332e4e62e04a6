#pragma once

class MAbstractDBInterface;

// Holds the process-wide database interface: created the first time anybody
// asks, then the same for every caller until the process ends.
class MDBInterfaceHolder
{
public:
    static MDBInterfaceHolder* Instance();

    MAbstractDBInterface* GetInterface();

    // Drops the interface so that the next caller gets a new one, built from the
    // configuration of that moment. For tests, which change the configuration
    // between cases; pointers taken before are invalid afterwards.
    void Reset();

protected:
    MDBInterfaceHolder() = default;
    ~MDBInterfaceHolder() = default;

private:
    static MDBInterfaceHolder* m_pInstance;
    MAbstractDBInterface* m_interface = nullptr; // owned
};
