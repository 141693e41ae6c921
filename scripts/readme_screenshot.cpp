// Makes the README's picture: the editor holding docs/sample.lcs with its
// generated listing, grabbed from the running window.
#include "app/Unit1.h"
#include "canvas/view/FlowChartView.h"
#include "chart/AppTitle.h"
#include "chart/Chart.h"
#include "records/BlockCatalog.h"

#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: readme-screenshot CHART.lcs OUT.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    TForm1 form;
    form.resize(760, 620);
    form.show();
    if (const files::TStatus opened = form.openChartFile(argv[1]); !opened) {
        std::fprintf(stderr, "%s\n", opened.error().c_str());
        return 1;
    }
    form.speedButton(7)->click(); // generate the listing
    // Select the Label block so the picture shows the selection marks.
    for (TFcObject* block : form.chart().Blocks()) {
        if (block->Kind == KindBlockBase + 11) {
            form.flowChart()->chart().SelectObject(block);
            break;
        }
    }
    int rc = 0;
    QTimer::singleShot(300, [&] {
        if (!form.grab().toImage().save(QString::fromLocal8Bit(argv[2])))
            rc = 1;
        QApplication::quit();
    });
    QApplication::exec();
    return rc;
}
