#include "graphxmlformat.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "graphenginelog.h"
#include "graphfile.h"

namespace {

void writeNode(QXmlStreamWriter& xml, const GraphNode& node)
{
    xml.writeStartElement(node.name);
    for (const auto& [key, value] : node.values)
        xml.writeAttribute(key, GraphValue::encode(value));
    for (const GraphNode& child : node.children)
        writeNode(xml, child);
    xml.writeEndElement();
}

class Reader
{
public:
    explicit Reader(const QByteArray& data) : m_xml(data) {}

    bool read(const QString& expectedRoot, GraphNode& root, QString& error)
    {
        while (!m_xml.atEnd() && !m_xml.isStartElement())
            m_xml.readNext();
        if (m_xml.hasError() || !m_xml.isStartElement()) {
            error = m_xml.hasError() ? m_xml.errorString() : "no element";
            return false;
        }
        if (m_xml.name() != expectedRoot) {
            error = QString("a <%1> where a <%2> was expected").arg(m_xml.name().toString(), expectedRoot);
            return false;
        }
        if (!element(root, 1, error))
            return false;
        // Anything after the root element is an error too.
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement())
                error = "a second root element";
        }
        if (m_xml.hasError())
            error = m_xml.errorString();
        return error.isEmpty();
    }

private:
    bool element(GraphNode& node, int depth, QString& error)
    {
        if (depth > GraphLimits::kMaxDepth || ++m_nodes > GraphLimits::kMaxNodes) {
            error = "too deep or too many elements";
            return false;
        }
        node.name = m_xml.name().toString();
        const QXmlStreamAttributes attributes = m_xml.attributes();
        if (attributes.size() > GraphLimits::kMaxValues) {
            error = "too many attributes";
            return false;
        }
        for (const QXmlStreamAttribute& a : attributes) {
            if (a.value().size() > GraphLimits::kMaxTextBytes) {
                error = "an attribute value too long";
                return false;
            }
            node.set(a.name().toString(), a.value().toString());
        }
        while (m_xml.readNextStartElement()) {
            node.children.append(GraphNode());
            if (!element(node.children.last(), depth + 1, error))
                return false;
        }
        if (m_xml.hasError()) {
            error = m_xml.errorString();
            return false;
        }
        return true;
    }

    QXmlStreamReader m_xml;
    int m_nodes = 0;
};

} // namespace

QByteArray GraphXmlFormat::Write(const GraphNode& root)
{
    QByteArray data;
    QXmlStreamWriter xml(&data);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    writeNode(xml, root);
    xml.writeEndDocument();
    // XML cannot hold some characters (most control characters); the writer
    // leaves them out. A drawing that would change is not written at all.
    return xml.hasError() ? QByteArray() : data;
}

bool GraphXmlFormat::Read(const QByteArray& data, const QString& expectedRoot, GraphNode& root, QString* error)
{
    QString why;
    GraphNode parsed;
    const bool ok = Reader(data).read(expectedRoot, parsed, why);
    if (ok)
        root = std::move(parsed);
    if (error)
        *error = why;
    return ok;
}

bool GraphXmlFormat::WriteFile(const QString& path, const GraphNode& root)
{
    const QByteArray data = Write(root);
    if (data.isEmpty()) {
        qCWarning(lcGraphEngine).noquote() << "cannot write" << path << ": it holds characters XML cannot store";
        return false;
    }
    return GraphFile::Write(path, data);
}

bool GraphXmlFormat::ReadFile(const QString& path, const QString& expectedRoot, GraphNode& root)
{
    QByteArray data;
    if (!GraphFile::Read(path, data))
        return false;
    QString error;
    if (!Read(data, expectedRoot, root, &error)) {
        qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ":" << error;
        return false;
    }
    return true;
}
