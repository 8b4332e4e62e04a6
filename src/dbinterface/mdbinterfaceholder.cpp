#include "mdbinterfaceholder.h"

#include "mvarendbinterface.h"

MDBInterfaceHolder* MDBInterfaceHolder::m_pInstance = nullptr;

MDBInterfaceHolder* MDBInterfaceHolder::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MDBInterfaceHolder;
    return m_pInstance;
}

MAbstractDBInterface* MDBInterfaceHolder::GetInterface()
{
    if (!m_interface)
        m_interface = new MVarenDBInterface;
    return m_interface;
}

void MDBInterfaceHolder::Reset()
{
    if (m_interface)
        m_retired.append(m_interface);
    m_interface = nullptr;
}
