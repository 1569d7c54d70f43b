// Draws the program's icons into this folder (PNG), and the program's icon at the
// theme sizes into packaging/icons. Not part of the build:
//   cmake --build <dir> --target tcese-draw-icons && <dir>/tcese-draw-icons app/icons packaging/icons
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

const QColor kTeal(0, 128, 128);
const QColor kDarkTeal(0, 90, 90);

QString gOut;

void save(const char* name, int size, const std::function<void(QPainter&)>& draw, int logical = 32) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(double(size) / logical, double(size) / logical);
    draw(p);
    p.end();
    const QString path = QDir(gOut).filePath(QString::fromLatin1(name));
    if (!img.save(path, "PNG")) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// A sheet of paper with a folded corner, in a 32 x 32 box.
void page(QPainter& p, const QColor& fill, const QColor& edge) {
    QPainterPath path;
    path.moveTo(7, 3);
    path.lineTo(20, 3);
    path.lineTo(26, 9);
    path.lineTo(26, 29);
    path.lineTo(7, 29);
    path.closeSubpath();
    p.setPen(QPen(edge, 1.5));
    p.setBrush(fill);
    p.drawPath(path);
    QPainterPath fold;
    fold.moveTo(20, 3);
    fold.lineTo(20, 9);
    fold.lineTo(26, 9);
    p.setBrush(edge.lighter(160));
    p.drawPath(fold);
}

void textLines(QPainter& p, int from, int to, const QColor& c) {
    p.setPen(QPen(c, 1.6));
    for (int y = from; y <= to; y += 4) p.drawLine(QPointF(10.5, y), QPointF(22.5, y));
}

void badge(QPainter& p, const QColor& fill, const QPointF& c, double r) {
    p.setPen(QPen(fill.darker(140), 1.2));
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
}

void check(QPainter& p, const QPointF& c, double s) {
    p.setPen(QPen(Qt::white, s * 0.28, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPolygonF l;
    l << c + QPointF(-s * 0.45, 0) << c + QPointF(-s * 0.12, s * 0.35) << c + QPointF(s * 0.5, -s * 0.38);
    p.drawPolyline(l);
}

void cross(QPainter& p, const QPointF& c, double s) {
    p.setPen(QPen(Qt::white, s * 0.28, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-s * 0.35, -s * 0.35), c + QPointF(s * 0.35, s * 0.35));
    p.drawLine(c + QPointF(s * 0.35, -s * 0.35), c + QPointF(-s * 0.35, s * 0.35));
}

void gear(QPainter& p, const QPointF& c, double r, const QColor& col) {
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i - 0.5) * M_PI / teeth;
        const double a1 = (i + 0.5) * M_PI / teeth;
        const double rr = (i % 2 == 0) ? r : r * 0.75;
        const QPointF p0 = c + QPointF(rr * qCos(a0), rr * qSin(a0));
        const QPointF p1 = c + QPointF(rr * qCos(a1), rr * qSin(a1));
        if (i == 0) path.moveTo(p0); else path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, r * 0.32, r * 0.32);
    p.setPen(QPen(col.darker(150), 1));
    p.setBrush(col);
    p.drawPath(path.subtracted(hole));
}

void folder(QPainter& p, const QColor& col) {
    QPainterPath back;
    back.moveTo(3, 8);
    back.lineTo(12, 8);
    back.lineTo(15, 11);
    back.lineTo(29, 11);
    back.lineTo(29, 27);
    back.lineTo(3, 27);
    back.closeSubpath();
    p.setPen(QPen(col.darker(150), 1.3));
    p.setBrush(col.darker(115));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(3, 27);
    front.lineTo(6, 14);
    front.lineTo(31, 14);
    front.lineTo(29, 27);
    front.closeSubpath();
    p.setBrush(col);
    p.drawPath(front);
}

void person(QPainter& p, const QPointF& at, double s, const QColor& col) {
    p.setPen(QPen(col.darker(150), 1));
    p.setBrush(col);
    p.drawEllipse(at + QPointF(0, -s * 0.55), s * 0.28, s * 0.28);
    QPainterPath body;
    body.moveTo(at + QPointF(-s * 0.5, s * 0.5));
    body.cubicTo(at + QPointF(-s * 0.5, -s * 0.2), at + QPointF(s * 0.5, -s * 0.2), at + QPointF(s * 0.5, s * 0.5));
    body.closeSubpath();
    p.drawPath(body);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    gOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");

    // File states 0..3.
    save("estado0.png", 32, [](QPainter& p) {
        page(p, Qt::white, QColor(120, 120, 120));
        textLines(p, 10, 18, QColor(170, 170, 170));
        badge(p, QColor(210, 40, 40), QPointF(21, 22), 8.5);
        cross(p, QPointF(21, 22), 9);
    });
    save("estado1.png", 32, [](QPainter& p) {
        page(p, Qt::white, QColor(120, 120, 120));
        textLines(p, 10, 18, QColor(170, 170, 170));
        badge(p, QColor(40, 160, 60), QPointF(21, 22), 8.5);
        check(p, QPointF(21, 22), 9);
    });
    save("estado2.png", 32, [](QPainter& p) {
        page(p, QColor(245, 245, 245), QColor(150, 150, 150));
        badge(p, QColor(230, 170, 20), QPointF(21, 22), 8.5);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 22), QPointF(25, 22));
    });
    save("estado3.png", 32, [](QPainter& p) {
        page(p, Qt::white, QColor(120, 120, 120));
        textLines(p, 10, 14, QColor(170, 170, 170));
        badge(p, QColor(40, 110, 210), QPointF(21, 22), 8.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int i = -1; i <= 1; ++i) p.drawEllipse(QPointF(21 + i * 4.2, 22), 1.5, 1.5);
    });

    // Buttons of the generation panel.
    save("fechar.png", 32, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1.3));
        p.setBrush(QColor(170, 120, 70));
        p.drawRect(QRectF(6, 3, 15, 26));
        p.setBrush(QColor(200, 150, 90));
        QPolygonF door;
        door << QPointF(6, 3) << QPointF(15, 6) << QPointF(15, 31) << QPointF(6, 29);
        p.drawPolygon(door);
        p.setPen(QPen(QColor(30, 130, 50), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(19, 16), QPointF(29, 16));
        p.drawPolyline(QPolygonF() << QPointF(25, 12) << QPointF(29, 16) << QPointF(25, 20));
    });
    save("cancelar.png", 32, [](QPainter& p) {
        QPolygonF oct;
        for (int i = 0; i < 8; ++i) {
            const double a = (i + 0.5) * M_PI / 4;
            oct << QPointF(16 + 13 * qCos(a), 16 + 13 * qSin(a));
        }
        p.setPen(QPen(QColor(130, 20, 20), 1.3));
        p.setBrush(QColor(210, 40, 40));
        p.drawPolygon(oct);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(8, 13.5, 16, 5), 1.5, 1.5);
    });
    save("gerar.png", 32, [](QPainter& p) {
        page(p, Qt::white, QColor(120, 120, 120));
        textLines(p, 10, 14, QColor(170, 170, 170));
        gear(p, QPointF(20, 21), 9, QColor(40, 130, 130));
    });
    save("log.png", 32, [](QPainter& p) {
        page(p, Qt::white, QColor(120, 120, 120));
        textLines(p, 10, 18, QColor(170, 170, 170));
        p.setPen(QPen(QColor(60, 60, 60), 2.2));
        p.setBrush(QColor(200, 230, 255, 200));
        p.drawEllipse(QPointF(18, 20), 5.5, 5.5);
        p.setPen(QPen(QColor(60, 60, 60), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(22, 24), QPointF(28, 30));
    });
    save("pasta.png", 32, [](QPainter& p) { folder(p, QColor(240, 190, 60)); });

    // Side bar.
    save("sb_gerar.png", 64, [](QPainter& p) {
        p.save();
        p.translate(-3, -1);
        page(p, QColor(235, 235, 235), QColor(110, 110, 110));
        p.restore();
        page(p, Qt::white, QColor(110, 110, 110));
        textLines(p, 10, 22, QColor(0, 128, 128));
        p.setPen(QPen(QColor(30, 130, 50), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(17, 26), QPointF(29, 26));
        p.drawPolyline(QPolygonF() << QPointF(25, 22) << QPointF(29, 26) << QPointF(25, 30));
    });
    save("sb_unid.png", 64, [](QPainter& p) {
        p.setPen(QPen(QColor(80, 80, 80), 1.2));
        p.setBrush(QColor(230, 225, 210));
        p.drawRect(QRectF(5, 12, 22, 17));
        p.setBrush(QColor(200, 80, 60));
        QPolygonF roof;
        roof << QPointF(3, 13) << QPointF(16, 4) << QPointF(29, 13);
        p.drawPolygon(roof);
        p.setBrush(QColor(120, 170, 210));
        for (int x : {8, 14, 20}) p.drawRect(QRectF(x, 16, 4, 4));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(14, 22, 4, 7));
    });
    save("sb_orc.png", 64, [](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 10), 1.2));
        p.setBrush(QColor(245, 200, 50));
        for (int i = 0; i < 4; ++i) p.drawEllipse(QRectF(4, 22 - i * 4, 16, 7));
        p.drawEllipse(QRectF(13, 20, 16, 7));
        p.drawEllipse(QRectF(13, 16, 16, 7));
        QFont f("DejaVu Sans", 7, QFont::Bold);
        p.setFont(f);
        p.setPen(QColor(150, 110, 10));
        p.drawText(QRectF(13, 16, 16, 7), Qt::AlignCenter, "$");
    });
    save("sb_plano.png", 64, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 4, 24, 25));
        p.setBrush(QColor(0, 128, 128));
        p.drawRect(QRectF(4, 4, 24, 5));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        for (int y = 13; y <= 25; y += 4) {
            p.drawLine(QPointF(6, y), QPointF(12, y));
            p.drawLine(QPointF(14, y), QPointF(26, y));
        }
    });
    save("sb_desp.png", 64, [](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2, 5, 11, 14));
        p.drawRect(QRectF(19, 13, 11, 14));
        p.setPen(QPen(QColor(0, 128, 128), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath link;
        link.moveTo(13, 12);
        link.cubicTo(18, 12, 14, 20, 19, 20);
        p.setBrush(Qt::NoBrush);
        p.drawPath(link);
    });
    save("sb_comissao.png", 64, [](QPainter& p) {
        person(p, QPointF(9, 19), 12, QColor(90, 140, 200));
        person(p, QPointF(23, 19), 12, QColor(90, 140, 200));
        person(p, QPointF(16, 21), 14, QColor(0, 128, 128));
    });
    save("sb_dispensa.png", 64, [](QPainter& p) {
        page(p, Qt::white, QColor(110, 110, 110));
        textLines(p, 9, 13, QColor(170, 170, 170));
        p.setPen(QPen(QColor(180, 30, 30), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16.5, 22), 6.5, 5);
        p.drawLine(QPointF(12, 22), QPointF(21, 22));
    });

    // Logos: an emblem for the court's site and a mark for the maker's.
    save("tribunal.png", 128, [](QPainter& p) {
        p.setPen(QPen(QColor(230, 200, 90), 1.5));
        p.setBrush(kDarkTeal);
        QPainterPath shield;
        shield.moveTo(8, 4);
        shield.lineTo(56, 4);
        shield.lineTo(56, 30);
        shield.cubicTo(56, 46, 42, 55, 32, 60);
        shield.cubicTo(22, 55, 8, 46, 8, 30);
        shield.closeSubpath();
        p.drawPath(shield);
        // Scales.
        p.setPen(QPen(QColor(240, 215, 110), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(32, 12), QPointF(32, 40));
        p.drawLine(QPointF(18, 17), QPointF(46, 17));
        p.drawLine(QPointF(24, 40), QPointF(40, 40));
        p.setPen(QPen(QColor(240, 215, 110), 1.2));
        for (double x : {18.0, 46.0}) {
            p.drawLine(QPointF(x, 17), QPointF(x - 5, 28));
            p.drawLine(QPointF(x, 17), QPointF(x + 5, 28));
            QPainterPath pan;
            pan.moveTo(x - 6, 28);
            pan.cubicTo(x - 6, 33, x + 6, 33, x + 6, 28);
            pan.closeSubpath();
            p.setBrush(QColor(240, 215, 110));
            p.drawPath(pan);
        }
        QFont f("DejaVu Sans", 6, QFont::Bold);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(8, 41, 48, 10), Qt::AlignCenter, "TCE/SE");
    }, 64);
    save("fabricante.png", 96, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(1, 1, 46, 46), 9, 9);
        p.setBrush(kTeal);
        p.drawRoundedRect(QRectF(5, 5, 38, 38), 7, 7);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(12, 14), QPointF(36, 14));
        p.drawLine(QPointF(24, 14), QPointF(24, 36));
    }, 48);
    const auto program = [](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kTeal);
        p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
        page(p, Qt::white, QColor(230, 230, 230));
        textLines(p, 10, 22, kTeal);
    };
    save("programa.png", 64, program);

    // The program's icon at the sizes of the desktop's icon theme, for the package.
    if (argc > 2) {
        gOut = QString::fromLocal8Bit(argv[2]);
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            save(qPrintable(QStringLiteral("tcese-%1.png").arg(size)), size, program);
    }
    return 0;
}
