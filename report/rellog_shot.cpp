// tcese-rellog-shot: page 1 of the log report of a month as a PNG, for docs/.
//   tcese-rellog-shot INI MONTH OUT.png [PAGE]     (MONTH as in the month box: 03, 14...)
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>

#include "app/principal.h"
#include "report/btnlog.h"

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "uso: tcese-rellog-shot INI MES SAIDA.png [PAGINA]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString month = QString::fromLocal8Bit(argv[2]);
    const QString out = QString::fromLocal8Bit(argv[3]);
    const int page = argc == 5 ? std::atoi(argv[4]) : 1;

    tcese::app::TFrmPrincipalSE w({argv[1], std::filesystem::path(argv[1]).parent_path()});
    if (!w.FormCreate()) return 1;
    for (int i = 0; i < w.cbmes->count(); ++i)
        if (w.cbmes->itemText(i).startsWith(month)) w.cbmes->setCurrentIndex(i);

    bool saved = false;
    tcese::report::btnLogClick(w, [&](QWidget*, const tcese::report::RelLogReport& r) {
        // A4 at 110 dpi: readable on screen, small in the repository.
        QImage img(910, 1286, QImage::Format_RGB32);
        img.setDotsPerMeterX(4331);
        img.setDotsPerMeterY(4331);
        img.fill(Qt::white);
        const auto layout = tcese::report::layoutRelLog(r.rows, r.header, img);
        QPainter p(&img);
        if (page < 1 || page > static_cast<int>(layout.pages.size())) return;
        tcese::report::paintPage(p, layout.pages[static_cast<std::size_t>(page - 1)]);
        p.end();
        saved = img.save(out);
    });
    if (!saved) std::fprintf(stderr, "nada gravado\n");
    return saved ? 0 : 1;
}
