// The main window with a full grid: time of one typed value (computation, reformat, totals,
// repaint) and of "登録" for 1000 rows. SHOT=file.png saves a picture of ten typed stations
// instead. Run by hand: build/bench/measure_bench_MainWindow
#include "app/uApplication.h"
#include "app/uDekigataDef.h"
#include "app/uSpread.h"
#include "measure/fEditDekigata.h"
#include "measure/uDropDownBox.h"
#include "measure/uKelmo4Head.h"
#include "registers/uKikakuti4.h"
#include "registers/uKoji.h"
#include "registers/uKosyu.h"
#include "support/TestEnv.h"
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QElapsedTimer>
#include <cstdio>
using namespace Qt::Literals::StringLiterals;
int main(int argc, char **argv)
{
    TKelmoApplication app(argc, argv);
    RegisterFontSubstitutions();
    TTestEnv env;
    TKelmo4Head().CreateTableIfMissing();
    TKoji k; k.Code = u"0001"_s; k.Kojimei = u"道路改良工事"_s; k.Yoshiki = 1; k.Save();
    TKosyu s; s.RewriteList({u"路盤工"_s});
    TKikakuti4 st; st.Kubun = 1; st.Kosyu->LoadByName(u"路盤工"_s); st.Koumokumei = u"高さ"_s;
    st.KikakutiU1 = u"+50"_s; st.KikakutiD1 = u"-50"_s; st.Save();
    const QStringList h = {u"ｍ"_s, u"㎜"_s, u"0.1"_s, u"5"_s, u"1"_s, u"20"_s};
    for (int i = 1; i <= 6; ++i) DekigataDef().SetUnits(i, 1, h[i - 1]);
    TfrmEditDekigata w;
    w.show();
    QTimer::singleShot(300, [&] {
        auto choose = [](TDropDownBox *b, const QString &t) { b->showPopup(); int i = b->findText(t); b->setCurrentIndex(i); b->hidePopup(); Q_EMIT b->activated(i); };
        choose(w.ComboBox1, u"0001:道路改良工事"_s);
        choose(w.ComboBox2, u"路盤工"_s);
        w.ComboBox3->lineEdit()->setText(u"第1工区"_s);
        w.ComboBox5->lineEdit()->setText(u"2003/05/07"_s);
        TSpreadModel *m = w.vaSpread1->Model();
        m->setData(m->index(0, 0), u"No.0"_s);
        for (int r = 1; r <= 10; ++r) {
            if (r > 1) { w.vaSpread1->setCurrentIndex(m->index(r - 2, 5)); w.vaSpread1->setCurrentIndex(m->index(r - 1, 0)); }
            m->setData(m->index(r - 1, 5), u"10.5"_s);
            m->setData(m->index(r - 1, 6), QString::number(10.5 + (r % 4 - 1) * 0.003, 'f', 3));
        }
        w.Register();
        w.vaSpread1->setCurrentIndex(m->index(3, 6));
        const QString shot = QString::fromLocal8Bit(qgetenv("SHOT"));
        if (!shot.isEmpty()) {
            QTimer::singleShot(300, [&, shot] { w.grab().save(shot); app.quit(); });
            return;
        }
        // A full grid: 1000 rows, all three groups.
        for (int r = 1; r <= 1000; ++r) {
            m->SetText(1, r, u"No.%1"_s.arg(r * 20));
            for (int c : {3, 6, 9}) {
                m->SetText(c, r, u"10.500"_s);
                m->SetText(c + 1, r, QString::number(10.5 + (r % 7) * 0.001, 'f', 3));
            }
        }
        w.GridChanged(12, 1); // settles the grid once
        QElapsedTimer timer;
        const int edits = 100;
        timer.start();
        for (int i = 0; i < edits; ++i) {
            const int row = 1 + (i * 37) % 1000;
            m->setData(m->index(row - 1, 6), QString::number(10.49 + (i % 9) * 0.003, 'f', 3));
            QCoreApplication::processEvents(); // the view repaints what changed
        }
        std::printf("one typed value in a full grid (window, with repaint): %.2f ms\n",
                    double(timer.nsecsElapsed()) / 1e6 / edits);
        for (int round = 0; round < 3; ++round) {
            timer.restart();
            w.Register();
            std::printf("登録 of 1000 rows: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
        }
        timer.restart();
        w.LoadLinesToGrid();
        std::printf("load 1000 rows into the grid: %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
        app.quit();
    });
    return app.exec();
}
