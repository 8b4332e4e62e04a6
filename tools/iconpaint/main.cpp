// Draws the embedded images of ":/icon/" that the views show: the element images
// of the icon types and the tree's file, folder and server images. The PNGs are
// committed in src/resources/icon; run this after changing a drawing:
//   iconpaint src/resources/icon
// and look at them at tree size and enlarged, on light and dark ground:
//   iconpaint --sheet sheet.png
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>
#include <map>

namespace {

constexpr int kSize = 32;
const QColor kInk(0x1d, 0x3b, 0x8f);     // equipment lines
const QColor kLive(0xc6, 0x28, 0x28);    // breakers, generators: active parts
const QColor kPaper(0xf4, 0xf1, 0xe4);   // fills of folders and documents

using Drawing = std::function<void(QPainter&)>;

QPen inkPen(qreal width = 2.0, const QColor& color = kInk)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void verticalLead(QPainter& p, qreal y1, qreal y2)
{
    p.drawLine(QPointF(16, y1), QPointF(16, y2));
}

void drawSwitch(QPainter& p)
{
    // Disconnector: fixed contact at the bottom, blade open to the side.
    p.setPen(inkPen());
    verticalLead(p, 2, 10);
    p.drawLine(QPointF(16, 22), QPointF(16, 30));
    p.drawLine(QPointF(16, 22), QPointF(7, 11));
    p.drawLine(QPointF(11, 10), QPointF(21, 10));
}

void drawBreaker(QPainter& p)
{
    p.setPen(inkPen());
    verticalLead(p, 2, 9);
    verticalLead(p, 23, 30);
    p.setBrush(kLive);
    p.drawRect(QRectF(9.5, 9, 13, 14));
}

void drawTwoWindingTransformer(QPainter& p)
{
    p.setPen(inkPen(1.8));
    p.setBrush(Qt::NoBrush);
    verticalLead(p, 1, 4);
    verticalLead(p, 28, 31);
    p.drawEllipse(QPointF(16, 11), 7, 7);
    p.drawEllipse(QPointF(16, 21), 7, 7);
}

void drawThreeWindingTransformer(QPainter& p)
{
    p.setPen(inkPen(1.6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 10), 6.5, 6.5);
    p.drawEllipse(QPointF(11, 19), 6.5, 6.5);
    p.drawEllipse(QPointF(21, 19), 6.5, 6.5);
    verticalLead(p, 1, 3.5);
    p.drawLine(QPointF(7, 24), QPointF(4, 30));
    p.drawLine(QPointF(25, 24), QPointF(28, 30));
}

void drawBus(QPainter& p)
{
    p.setPen(inkPen(5, kInk));
    p.drawLine(QPointF(3, 12), QPointF(29, 12));
    p.setPen(inkPen(1.8));
    for (qreal x : {8.0, 16.0, 24.0})
        p.drawLine(QPointF(x, 12), QPointF(x, 26));
}

void drawLine(QPainter& p)
{
    // A feeder leaving the station: conductor with an outgoing arrow.
    p.setPen(inkPen());
    p.drawLine(QPointF(3, 16), QPointF(24, 16));
    p.setBrush(kInk);
    QPolygonF head;
    head << QPointF(30, 16) << QPointF(21, 10.5) << QPointF(21, 21.5);
    p.drawPolygon(head);
    p.drawLine(QPointF(3, 10), QPointF(3, 22));
}

void drawLoad(QPainter& p)
{
    p.setPen(inkPen());
    verticalLead(p, 2, 16);
    p.setBrush(kInk);
    QPolygonF head;
    head << QPointF(16, 30) << QPointF(8, 16) << QPointF(24, 16);
    p.drawPolygon(head);
}

void drawGenerator(QPainter& p)
{
    p.setPen(inkPen());
    p.setBrush(Qt::NoBrush);
    verticalLead(p, 1, 5);
    p.drawEllipse(QPointF(16, 18), 12, 12);
    // The sine wave of an alternating-current machine.
    QPainterPath wave;
    wave.moveTo(8, 18);
    wave.cubicTo(10, 10, 14, 10, 16, 18);
    wave.cubicTo(18, 26, 22, 26, 24, 18);
    p.setPen(inkPen(2, kLive));
    p.drawPath(wave);
}

void drawCapacitor(QPainter& p)
{
    // Shunt capacitor: plates across the lead, to ground.
    p.setPen(inkPen());
    verticalLead(p, 2, 13);
    verticalLead(p, 19, 26);
    p.setPen(inkPen(3));
    p.drawLine(QPointF(6, 13), QPointF(26, 13));
    p.drawLine(QPointF(6, 19), QPointF(26, 19));
    p.setPen(inkPen(1.5));
    p.drawLine(QPointF(10, 27), QPointF(22, 27));
    p.drawLine(QPointF(13, 30), QPointF(19, 30));
}

void drawSeriesCapacitor(QPainter& p)
{
    // In series with the line: plates upright, leads left and right.
    p.setPen(inkPen());
    p.drawLine(QPointF(2, 16), QPointF(13, 16));
    p.drawLine(QPointF(19, 16), QPointF(30, 16));
    p.setPen(inkPen(3));
    p.drawLine(QPointF(13, 6), QPointF(13, 26));
    p.drawLine(QPointF(19, 6), QPointF(19, 26));
}

void drawStation(QPainter& p)
{
    // A substation: the station fence with a transformer inside.
    p.setPen(inkPen(1.8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 2.5, 27, 27));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 12), 5.5, 5.5);
    p.drawEllipse(QPointF(16, 20), 5.5, 5.5);
}

void drawGround(QPainter& p)
{
    p.setPen(inkPen());
    verticalLead(p, 2, 16);
    p.drawLine(QPointF(5, 16), QPointF(27, 16));
    p.drawLine(QPointF(9, 22), QPointF(23, 22));
    p.drawLine(QPointF(13, 28), QPointF(19, 28));
}

void drawLinkLine(QPainter& p)
{
    // A connecting line between two terminals.
    p.setPen(QPen(kInk, 2, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(8, 24), QPointF(24, 8));
    p.setPen(inkPen(1.8));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(6, 26), 3.5, 3.5);
    p.drawEllipse(QPointF(26, 6), 3.5, 3.5);
}

void drawProtectionUnit(QPainter& p)
{
    // A relay shield with a trip bolt.
    QPainterPath shield;
    shield.moveTo(16, 2);
    shield.lineTo(28, 6);
    shield.cubicTo(28, 19, 23, 26, 16, 30);
    shield.cubicTo(9, 26, 4, 19, 4, 6);
    shield.closeSubpath();
    p.setPen(inkPen(1.8));
    p.setBrush(kPaper);
    p.drawPath(shield);
    QPolygonF bolt;
    bolt << QPointF(18, 7) << QPointF(11, 18) << QPointF(16, 18) << QPointF(14, 26)
         << QPointF(21, 14) << QPointF(16, 14);
    p.setPen(Qt::NoPen);
    p.setBrush(kLive);
    p.drawPolygon(bolt);
}

void drawConductingEquipment(QPainter& p)
{
    // Generic conducting equipment: an impedance box in the lead.
    p.setPen(inkPen());
    verticalLead(p, 2, 9);
    verticalLead(p, 23, 30);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(11, 9, 10, 14));
}

void drawFileList(QPainter& p)
{
    p.setPen(inkPen(1.5));
    p.setBrush(kPaper);
    QPolygonF page;
    page << QPointF(6, 2.5) << QPointF(21, 2.5) << QPointF(26, 7.5) << QPointF(26, 29.5)
         << QPointF(6, 29.5);
    p.drawPolygon(page);
    p.drawLine(QPointF(21, 2.5), QPointF(21, 7.5));
    p.drawLine(QPointF(21, 7.5), QPointF(26, 7.5));
    for (qreal y : {12.0, 17.0, 22.0}) {
        p.setBrush(kInk);
        p.drawEllipse(QPointF(10, y), 1, 1);
        p.drawLine(QPointF(13, y), QPointF(22, y));
    }
}

void drawServer(QPainter& p)
{
    p.setPen(inkPen(1.5));
    for (qreal y : {3.0, 11.0}) {
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(5, y, 22, 7), 1.5, 1.5);
        p.setBrush(QColor(0x2e, 0x9d, 0x3a));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(9, y + 3.5), 1.5, 1.5);
        p.setPen(inkPen(1.5));
        p.drawLine(QPointF(14, y + 3.5), QPointF(23, y + 3.5));
    }
    // Its network connection.
    verticalLead(p, 18, 25);
    p.drawLine(QPointF(4, 25), QPointF(28, 25));
    p.setBrush(kInk);
    p.drawRect(QRectF(13, 25, 6, 4));
}

void drawFolder(QPainter& p)
{
    p.setPen(inkPen(1.5, QColor(0x9a, 0x6a, 0x12)));
    p.setBrush(QColor(0xf2, 0xc2, 0x4c));
    QPolygonF folder;
    folder << QPointF(2.5, 7) << QPointF(12, 7) << QPointF(15, 10) << QPointF(29.5, 10)
           << QPointF(29.5, 27) << QPointF(2.5, 27);
    p.drawPolygon(folder);
    p.setBrush(QColor(0xf8, 0xd8, 0x7a));
    p.drawRect(QRectF(2.5, 13, 27, 14));
}

const std::map<QString, Drawing>& drawings()
{
    static const std::map<QString, Drawing> table = {
        {"ele_pe_switch", drawSwitch},
        {"ele_pe_breaker", drawBreaker},
        {"ele_pe_two_trans", drawTwoWindingTransformer},
        {"ele_pe_three_trans", drawThreeWindingTransformer},
        {"ele_pe_bus", drawBus},
        {"ele_pe_line", drawLine},
        {"ele_pe_load", drawLoad},
        {"ele_pe_gen", drawGenerator},
        {"ele_pe_capacitor", drawCapacitor},
        {"ele_pe_series_cap", drawSeriesCapacitor},
        {"ele_pe_station", drawStation},
        {"ele_pe_ground", drawGround},
        {"ele_pe_linkline", drawLinkLine},
        {"ele_unit_protect", drawProtectionUnit},
        {"ele_pe_conducting", drawConductingEquipment},
        {"file_list", drawFileList},
        {"net_rdserver", drawServer},
        {"file_folder", drawFolder},
    };
    return table;
}

QImage drawIcon(const Drawing& draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

bool writeSheet(const QString& file)
{
    const int cellW = 200, cellH = 150;
    const int n = int(drawings().size());
    QImage sheet(cellW * 6, cellH * ((n + 5) / 6), QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    int i = 0;
    for (const auto& [name, draw] : drawings()) {
        const QImage icon = drawIcon(draw);
        const QPoint cell((i % 6) * cellW, (i / 6) * cellH);
        p.fillRect(QRect(cell + QPoint(150, 10), QSize(40, 40)), QColor(0x30, 0x30, 0x30));
        p.drawImage(QRect(cell + QPoint(10, 10), QSize(128, 128)), icon);
        p.drawImage(cell + QPoint(154, 14), icon);
        p.drawImage(QRect(cell + QPoint(154, 60), QSize(16, 16)), icon);
        p.drawText(QRect(cell + QPoint(0, 136), QSize(cellW, 14)), Qt::AlignCenter, name);
        ++i;
    }
    return sheet.save(file);
}

} // namespace

int main(int argc, char** argv)
{
    // A command-line program: draw off screen unless told otherwise.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == "--sheet")
        return writeSheet(args.at(2)) ? 0 : 1;
    if (args.size() != 2) {
        err << "usage: iconpaint OUTPUT_DIR | --sheet FILE.png\n";
        return 2;
    }
    QDir out(args.at(1));
    if (!out.mkpath(".")) {
        err << "iconpaint: cannot create " << out.path() << "\n";
        return 1;
    }
    for (const auto& [name, draw] : drawings()) {
        const QImage image = drawIcon(draw);
        const QString file = out.filePath(name + ".png");
        if (!image.save(file)) {
            err << "iconpaint: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}
