// SPDX-License-Identifier: MIT
// The real window searching with "Search All Networks" on, for the end-to-end tests: it runs one
// search on the offscreen platform and prints the captions of the items listed, one a line.
//   e2e_window                              just that
//   e2e_window details STATUS CLIPBOARD     then selects the first item, writes the status
//                                           bar's text into the file STATUS, presses Ctrl+C
//                                           on the list and writes the clipboard's text into
//                                           the file CLIPBOARD, both as UTF-8
//   e2e_window clipboard FILE               writes the clipboard's text into FILE as UTF-8 and
//                                           shows no window (for the clipboard of another
//                                           program on the same display)
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/search_socket.h"
#include "main/main_window.h"
#include "main/search_driver.h"

namespace {

bool WriteText(const char* path, const QString& text) {
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const bool details = argc == 4 && std::strcmp(argv[1], "details") == 0;
    if (argc == 3 && std::strcmp(argv[1], "clipboard") == 0) {
        return WriteText(argv[2], QGuiApplication::clipboard()->text()) ? 0 : 1;
    }
    if (argc != 1 && !details) {
        std::fputs("usage: e2e_window [details STATUS-FILE CLIPBOARD-FILE | clipboard FILE]\n",
                   stderr);
        return 2;
    }
    nimbrel::MainWindow window(std::make_unique<nimbrel::SearchDriver>(
        std::make_unique<nimbrel::UdpSearchSocket>(), std::make_unique<nimbrel::SteadyClock>(),
        nimbrel::AddressLookup(nimbrel::LookUpLocalAddress)));
    auto* allNetworks = window.findChild<QAction*>(QStringLiteral("allNetworksAction"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("deviceList"));
    auto* status = window.findChild<QLabel*>(QStringLiteral("statusText"));
    if (allNetworks == nullptr || list == nullptr || status == nullptr) {
        return 2;
    }
    if (!allNetworks->isChecked()) {
        allNetworks->trigger();  // as the user chooses it from the View menu
    }
    QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &window, [&] {
        for (int row = 0; row < list->count(); ++row) {
            std::printf("%s\n", list->item(row)->text().toUtf8().constData());
        }
        std::fflush(stdout);
        if (!details) {
            QCoreApplication::exit(0);
            return;
        }
        if (list->count() == 0) {
            QCoreApplication::exit(1);
            return;
        }
        list->setCurrentRow(0);  // as a click on it selects it
        if (!WriteText(argv[2], status->text())) {
            QCoreApplication::exit(1);
            return;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QString(QChar(3)));
        QCoreApplication::sendEvent(list, &press);
        // The copy follows the notice of its length, which the offscreen platform closes at
        // once; the clipboard is read once the events that this may have queued have run.
        QTimer::singleShot(200, &window, [&] {
            QCoreApplication::exit(WriteText(argv[3], QGuiApplication::clipboard()->text()) ? 0
                                                                                            : 1);
        });
    });
    QObject::connect(&window, &nimbrel::MainWindow::searchFailed, &window,
                     [] { QCoreApplication::exit(1); });
    if (!window.search()) {
        return 1;
    }
    return QApplication::exec();
}
