#pragma once

#include <QWidget>

#include <memory>

class MGraphDoc;

// Draws one opened drawing with the graph engine, scaled to fit.
class GraphCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit GraphCanvas(QWidget* parent = nullptr);
    ~GraphCanvas() override;

    // Opens the binary form, else the text form; false (and an empty canvas)
    // when neither reads.
    bool Open(const QString& binaryPath, const QString& textPath);
    void Close();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<MGraphDoc> m_doc;
};
