// SPDX-License-Identifier: MIT
// The real window searching with "Search All Networks" on, for the end-to-end test: it runs one
// search on the offscreen platform and prints the captions of the items listed, one a line.
//   e2e_window                  just that
//   e2e_window save FILE        and then saves the list into FILE (as File > Save List As does:
//                               JSON for a name ending in .json, else CSV)
//   e2e_window clipboard FILE   instead writes the clipboard's text into FILE as UTF-8 and
//                               shows no window (for the clipboard of another program on the
//                               same display)
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QListView>
#include <cstdio>
#include <cstring>

#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/search_socket.h"
#include "main/main_window.h"
#include "main/search_driver.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "clipboard") == 0) {
        QFile file(QString::fromLocal8Bit(argv[2]));
        const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text) == text.size()
                   ? 0
                   : 1;
    }
    const bool save = argc == 3 && std::strcmp(argv[1], "save") == 0;
    if (argc != 1 && !save) {
        std::fputs("usage: e2e_window [clipboard FILE | save FILE]\n", stderr);
        return 2;
    }
    const QString saveTo = save ? QString::fromLocal8Bit(argv[2]) : QString();
    nimbrel::MainWindow window(std::make_unique<nimbrel::SearchDriver>(
        std::make_unique<nimbrel::UdpSearchSocket>(), std::make_unique<nimbrel::SteadyClock>(),
        nimbrel::addressLookup(nimbrel::lookUpLocalAddress)));
    auto* allNetworks = window.findChild<QAction*>(QStringLiteral("allNetworksAction"));
    if (allNetworks == nullptr) {
        return 2;
    }
    QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &window, [&window, saveTo] {
        const auto* list = window.findChild<QListView*>(QStringLiteral("deviceList"));
        for (int row = 0; list != nullptr && row < list->model()->rowCount(); ++row) {
            const QModelIndex item = list->model()->index(row, list->modelColumn());
            std::printf("%s\n", item.data().toString().toUtf8().constData());
        }
        QCoreApplication::exit(saveTo.isEmpty() || window.saveList(saveTo) ? 0 : 1);
    });
    QObject::connect(&window, &nimbrel::MainWindow::searchFailed, &window,
                     [] { QCoreApplication::exit(1); });
    if (!allNetworks->isChecked()) {
        allNetworks->trigger();  // as the user chooses it from the View menu, which searches
    } else if (!window.search()) {
        return 1;
    }
    return QApplication::exec();
}
