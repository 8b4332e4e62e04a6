#pragma once

#include <QTransform>
#include <QWidget>

#include <memory>

#include "canvasdrop.h"

class MGraphDoc;

// Draws one drawing with the graph engine, scaled to fit. The editor host
// also changes it (AddLabel) and writes it out (Save, or SaveTemplate for a
// template); IsDirty says whether it holds changes not written yet.
class GraphCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit GraphCanvas(QWidget* parent = nullptr);
    ~GraphCanvas() override;

    // Opens the binary form, else the text form; false (and an empty canvas)
    // when neither reads.
    bool Open(const QString& binaryPath, const QString& textPath);
    // An empty drawing of that name, picture type and substation.
    void New(const QString& name, QString typeName, int typeId, const QString& substation);
    void Close();
    bool HasDrawing() const { return m_doc != nullptr; }
    MGraphDoc* Doc() const { return m_doc.get(); }

    // Adds a text at the middle of the drawing; false without a drawing.
    bool AddLabel(const QString& text);
    bool IsDirty() const { return m_dirty; }
    // Counts the drawing as unsaved again: written here, but not stored
    // everywhere it has to be (the file server refused it).
    void MarkUnsaved() { m_dirty = m_doc != nullptr; }
    // Writes the drawing, its binary form and its dynamic data next to
    // textPath (".xrg", ".brg", ".fg"); on failure the files that were there
    // are put back and error says why.
    bool Save(const QString& textPath, QString& error);

    // Template mode: the canvas edits the ".xtp" template at path (an empty
    // one when the file is missing) instead of a picture, until Open, New or
    // Close. False (canvas unchanged) when the file exists but does not read.
    bool OpenTemplate(const QString& path, QString& error);
    // Writes the open template to its file, whole or not at all.
    bool SaveTemplate(QString& error);
    // The template being edited; empty when the canvas holds a picture.
    QString TemplatePath() const { return m_templatePath; }

    // Icons and templates dropped here go into the drawing; template types are
    // found through lookup (without one, templates are refused).
    void SetTemplateAliasLookup(CanvasDrop::AliasLookup lookup) { m_aliasOf = std::move(lookup); }
    // Adds what data brings at pos (widget coordinates), as a drop does.
    CanvasDrop::Result DropAt(const QMimeData* data, const QPointF& pos);
    // Drawing coordinates to widget coordinates: the drawing scaled to fit, centred.
    QTransform ViewTransform() const;

Q_SIGNALS:
    // A drop was taken (added) or refused; message says what or why.
    void Dropped(bool added, const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Copies stem's three files over target's, keeping the old ones under
    // backup; on a failure the old files are put back and the new ones removed.
    static bool replaceFiles(const QString& stem, const QString& target, const QString& backup, QString& error);

    std::unique_ptr<MGraphDoc> m_doc;
    bool m_dirty = false;
    QString m_templatePath;
    QPointF m_templateShift; // of the template's members into the drawing
    CanvasDrop::AliasLookup m_aliasOf;
};
