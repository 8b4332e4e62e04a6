#pragma once

#include <QList>
#include <QString>

class MTranslateHandler;

// The HMI's message bus, as far as drawings use it: the registered translate
// handlers.
class MDataMessageBus
{
public:
    static MDataMessageBus* Instance();

    // The bus does not own handlers; unregister one before deleting it.
    void RegisterTranslateHandler(MTranslateHandler* handler);
    void UnregisterTranslateHandler(MTranslateHandler* handler);
    // 0 means drawings cannot be translated.
    int TranslateHandlerNum() const;
    // text passed through every handler in the order they registered.
    QString Translate(const QString& text) const;

protected:
    MDataMessageBus() = default;
    ~MDataMessageBus() = default;

private:
    static MDataMessageBus* m_pInstance;
    QList<MTranslateHandler*> m_handlers; // not owned
};
