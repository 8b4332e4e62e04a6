#pragma once

#include <QColor>
#include <QList>
#include <QMap>
#include <QSizeF>
#include <QString>

#include "equippathfromoid.h"
#include "graphnode.h"
#include "merrmsg.h"

class MDrawObj;
class MGraph;
class QPainter;

enum MGraphStatusEnum { GraphStatusEdit = 0, GraphStatusView = 1 };

// A drawing (one-line diagram) with its properties: picture type, substation
// names, shared and fill-model flags, size, background, and its content (MGraph).
//
// ".xrg": <graph format="1" name typeId typeName share fillModel width height background>
//           <station index name/> ...  <templates> icon templates </templates>
//           <objects> drawing objects </objects> </graph>
// ".brg": the same tree in the binary form (GraphBinaryFormat).
// ".fg":  <dynamic format="1"> <bind object oid path/> ... </dynamic>, the data
//         bindings collected by UpdateDataDefine.
// ".svg": an image of the drawing (QSvgGenerator).
// Reads that fail leave an empty document; writes replace files only when complete.
class MGraphDoc
{
public:
    explicit MGraphDoc(MGraphStatusEnum status = GraphStatusEdit);
    ~MGraphDoc();
    MGraphDoc(const MGraphDoc&) = delete;
    MGraphDoc& operator=(const MGraphDoc&) = delete;

    MGraphStatusEnum GetStatus() const { return m_status; }
    void Clear();

    bool ReadXmlFile(const QString& path);
    bool WriteXmlFile(const QString& path) const;
    bool ReadDataFile(const QString& path);
    bool WriteDataFile(const QString& path) const;
    // Collects the data bindings of all objects for the dynamic-data file.
    void UpdateDataDefine();
    const QList<EquipPathFromOID>& DataDefines() const { return m_dataDefines; }
    bool WriteDynamicDataFile(const QString& path) const;
    bool ReadDynamicDataFile(const QString& path);
    // An image of the drawing; withBackground paints the background colour.
    bool WriteSvgFile(const QString& path, bool withBackground) const;
    // Paints the drawing in drawing coordinates (for screens and images).
    void Render(QPainter* painter, bool withBackground) const;

    QString GetName() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    int GetGraphTypeID() const { return m_typeId; }
    QString GetGraphTypeName() const { return m_typeName; }
    void SetGraphType(QString& name, int& typeId);
    // The substation names the drawing refers to, by index (1: its own station).
    QString GetGraphStation(int index) const { return m_stations.value(index); }
    void SetGraphStation(const QString& name, int index);
    bool IsShare() const { return m_share; }
    void SetShare(bool share) { m_share = share; }
    bool HasFillModel() const { return m_fillModel; }
    void SetHasFillModel(bool fillModel) { m_fillModel = fillModel; }
    QSizeF GetSize() const { return m_size; }
    void SetSize(const QSizeF& size) { m_size = size; }
    QColor GetBackground() const { return m_background; }
    void SetBackground(const QColor& color) { m_background = color; }

    MGraph* GetGraph() const { return m_graph; }

    // Replaces oldText by newText in the given objects (and their members).
    // mode 1: texts of text objects; 2: texts and station names of icons;
    // 3: all of these and the equipment paths of data bindings.
    void ReplaceString(QList<MDrawObj*>& objects, const QString& oldText, const QString& newText, int mode);
    // All texts through the translate handlers registered with MDataMessageBus;
    // nothing changes when none is registered.
    void TranslateText();
    // Finds the identifier of every bound object again from its equipment path
    // (the HMI's equipment table; paths already in `paths` are taken from there).
    // Each path found is appended to `paths`; each path not found adds one
    // MErrMsg to errors and leaves the object's identifier. mode 1: only objects
    // without an identifier; 2: only icons; 3: every bound object.
    void RefreshOids(QList<MErrMsg>& errors, QList<EquipPathFromOID>& paths, int mode);

    GraphNode ToNode() const;
    bool FromNode(const GraphNode& node);

private:
    // Takes a drawing read from path (read false: the file could not be read);
    // anything it cannot take leaves the document empty.
    bool adoptRead(const QString& path, bool read, const GraphNode& node);

    MGraphStatusEnum m_status;
    QString m_name;
    int m_typeId = 0;
    QString m_typeName;
    QMap<int, QString> m_stations;
    bool m_share = false;
    bool m_fillModel = false;
    QSizeF m_size = QSizeF(1600, 900);
    QColor m_background = QColor(Qt::black);
    MGraph* m_graph; // owned
    QList<EquipPathFromOID> m_dataDefines;
};
