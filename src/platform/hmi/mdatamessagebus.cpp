#include "mdatamessagebus.h"

#include "mtranslatehandler.h"

MDataMessageBus* MDataMessageBus::m_pInstance = nullptr;

MDataMessageBus* MDataMessageBus::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MDataMessageBus;
    return m_pInstance;
}

void MDataMessageBus::RegisterTranslateHandler(MTranslateHandler* handler)
{
    if (handler && !m_handlers.contains(handler))
        m_handlers.append(handler);
}

void MDataMessageBus::UnregisterTranslateHandler(MTranslateHandler* handler)
{
    m_handlers.removeAll(handler);
}

int MDataMessageBus::TranslateHandlerNum() const
{
    return int(m_handlers.size());
}

QString MDataMessageBus::Translate(const QString& text) const
{
    QString result = text;
    for (MTranslateHandler* handler : m_handlers)
        result = handler->TranslateText(result);
    return result;
}
