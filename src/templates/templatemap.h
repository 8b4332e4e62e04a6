#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QPaintDevice;

// The preview below the pages: draws the template clicked last, from its file,
// on every paint.
class TemplateMap : public QWidget
{
    Q_OBJECT

public:
    explicit TemplateMap(QWidget* parent = nullptr);

    void SetTemplate(const QString& typeAlias, const QString& templateName);
    QString TypeAlias() const { return m_typeAlias; }
    QString TemplateName() const { return m_templateName; }

    // Draws the template's members onto device, centred and scaled to fit with
    // their aspect kept. Returns the viewport used; an empty one when nothing
    // was drawn (no names, no file, no members, or a device without area).
    static QRect RenderTemplate(QPaintDevice* device, const QString& typeAlias, const QString& templateName);
    // Where a window of that shape goes on a device of that size: the largest
    // centred rectangle of the window's aspect ratio. Empty for empty sizes.
    static QRect Viewport(const QSize& device, const QRect& window);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_typeAlias;
    QString m_templateName;
};
