#include "graphbinaryformat.h"

#include <QColor>
#include <QDataStream>
#include <QIODevice>
#include <QPolygonF>

#include "graphenginelog.h"
#include "graphfile.h"

namespace {

const QByteArray kMagic("TBRG");
enum Tag : quint8 { TagText, TagDouble, TagInt, TagBool, TagPolygon, TagColor };

void writeString(QDataStream& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    out << quint32(utf8.size());
    out.writeRawData(utf8.constData(), int(utf8.size()));
}

void writeValue(QDataStream& out, const QVariant& v)
{
    if (v.typeId() == QMetaType::Double) {
        out << quint8(TagDouble) << v.toDouble();
    } else if (v.typeId() == QMetaType::Int) {
        out << quint8(TagInt) << qint32(v.toInt());
    } else if (v.typeId() == QMetaType::Bool) {
        out << quint8(TagBool) << quint8(v.toBool());
    } else if (v.typeId() == qMetaTypeId<QPolygonF>()) {
        const QPolygonF points = v.value<QPolygonF>();
        out << quint8(TagPolygon) << quint32(points.size());
        for (const QPointF& p : points)
            out << p.x() << p.y();
    } else if (v.typeId() == QMetaType::QColor) {
        out << quint8(TagColor) << quint32(v.value<QColor>().rgba());
    } else {
        out << quint8(TagText);
        writeString(out, v.toString());
    }
}

void writeNode(QDataStream& out, const GraphNode& node)
{
    writeString(out, node.name);
    out << quint16(node.values.size());
    for (const auto& [key, value] : node.values) {
        writeString(out, key);
        writeValue(out, value);
    }
    out << quint32(node.children.size());
    for (const GraphNode& child : node.children)
        writeNode(out, child);
}

class Reader
{
public:
    explicit Reader(const QByteArray& data) : m_data(data), m_in(data) { m_in.setVersion(QDataStream::Qt_5_15); }

    bool read(GraphNode& root, QString& error)
    {
        char magic[4];
        quint16 version = 0;
        if (m_in.readRawData(magic, 4) != 4 || QByteArray(magic, 4) != kMagic)
            return fail(error, "not a binary drawing");
        m_in >> version;
        if (version == 0 || version > GraphBinaryFormat::kVersion)
            return fail(error, QString("binary drawing format %1 is unknown").arg(version));
        if (!node(root, 1, error))
            return false;
        if (!m_in.atEnd())
            return fail(error, "data after the drawing");
        return true;
    }

private:
    qint64 left() const { return m_data.size() - m_in.device()->pos(); }
    bool ok() const { return m_in.status() == QDataStream::Ok; }

    bool fail(QString& error, const QString& why)
    {
        error = why;
        return false;
    }

    bool string(QString& out, QString& error)
    {
        quint32 length = 0;
        m_in >> length;
        if (!ok() || length > quint32(GraphLimits::kMaxTextBytes) || qint64(length) > left())
            return fail(error, "a text beyond the end or the limits");
        QByteArray bytes(int(length), Qt::Uninitialized);
        if (m_in.readRawData(bytes.data(), int(length)) != int(length))
            return fail(error, "a truncated text");
        out = QString::fromUtf8(bytes);
        return true;
    }

    bool value(QVariant& out, QString& error)
    {
        quint8 tag = 0;
        m_in >> tag;
        switch (tag) {
        case TagText: {
            QString text;
            if (!string(text, error))
                return false;
            out = text;
            break;
        }
        case TagDouble: {
            double d = 0;
            m_in >> d;
            out = d;
            break;
        }
        case TagInt: {
            qint32 i = 0;
            m_in >> i;
            out = int(i);
            break;
        }
        case TagBool: {
            quint8 b = 0;
            m_in >> b;
            out = b != 0;
            break;
        }
        case TagPolygon: {
            quint32 count = 0;
            m_in >> count;
            if (!ok() || count > quint32(GraphLimits::kMaxPoints) || qint64(count) * 16 > left())
                return fail(error, "a point list beyond the end or the limits");
            QPolygonF points;
            points.reserve(int(count));
            for (quint32 i = 0; i < count; ++i) {
                double x = 0, y = 0;
                m_in >> x >> y;
                points << QPointF(x, y);
            }
            out = QVariant::fromValue(points);
            break;
        }
        case TagColor: {
            quint32 rgba = 0;
            m_in >> rgba;
            out = QColor::fromRgba(rgba);
            break;
        }
        default:
            return fail(error, QString("an unknown value kind %1").arg(tag));
        }
        return ok() || fail(error, "a truncated value");
    }

    bool node(GraphNode& out, int depth, QString& error)
    {
        if (depth > GraphLimits::kMaxDepth || ++m_nodes > GraphLimits::kMaxNodes)
            return fail(error, "too deep or too many nodes");
        if (!string(out.name, error))
            return false;
        quint16 valueCount = 0;
        m_in >> valueCount;
        if (!ok() || valueCount > GraphLimits::kMaxValues)
            return fail(error, "too many values");
        for (int i = 0; i < valueCount; ++i) {
            QString key;
            QVariant v;
            if (!string(key, error) || !value(v, error))
                return false;
            out.set(key, v);
        }
        quint32 childCount = 0;
        m_in >> childCount;
        // Every node takes at least 10 bytes: a file cannot announce more than it holds.
        if (!ok() || childCount > quint32(GraphLimits::kMaxNodes) || qint64(childCount) * 10 > left())
            return fail(error, "more children announced than the file holds");
        out.children.reserve(int(childCount));
        for (quint32 i = 0; i < childCount; ++i) {
            out.children.append(GraphNode());
            if (!node(out.children.last(), depth + 1, error))
                return false;
        }
        return true;
    }

    const QByteArray& m_data;
    QDataStream m_in;
    int m_nodes = 0;
};

} // namespace

QByteArray GraphBinaryFormat::Write(const GraphNode& root)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out.writeRawData(kMagic.constData(), int(kMagic.size()));
    out << kVersion;
    writeNode(out, root);
    return data;
}

bool GraphBinaryFormat::Read(const QByteArray& data, GraphNode& root, QString* error)
{
    QString why;
    GraphNode parsed;
    const bool ok = Reader(data).read(parsed, why);
    if (ok)
        root = std::move(parsed);
    if (error)
        *error = why;
    return ok;
}

bool GraphBinaryFormat::WriteFile(const QString& path, const GraphNode& root)
{
    return GraphFile::Write(path, Write(root));
}

bool GraphBinaryFormat::ReadFile(const QString& path, GraphNode& root)
{
    QByteArray data;
    if (!GraphFile::Read(path, data))
        return false;
    QString error;
    if (!Read(data, root, &error)) {
        qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ":" << error;
        return false;
    }
    return true;
}
