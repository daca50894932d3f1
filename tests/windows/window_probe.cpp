// SPDX-License-Identifier: MIT
// The real window with the real search, for the Windows end-to-end check under Wine: once its
// first search ends it writes, as UTF-8 into FILE, the caption of every item listed (one a
// line), then selects the first item and writes "status: " and the status bar's text.
//   window_probe FILE
// Exit status 0 when the search finished, 1 when it failed or could not start, 2 on a usage
// error or when the window has no device list.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QListView>
#include <QStringList>
#include <memory>

#include "discovery/clock.h"
#include "discovery/interface_choice.h"
#include "discovery/search_socket.h"
#include "main/main_window.h"
#include "main/search_driver.h"

namespace {

bool writeUtf8(const QString& path, const QString& text) {
    QFile file(path);
    const QByteArray bytes = text.toUtf8();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The captions of the listed items, then the status text once the first one is selected.
QString listedTexts(nimbrel::MainWindow& window, QAbstractItemView& view) {
    QStringList lines;
    const QAbstractItemModel* model = view.model();
    // The icon view shows one column of the devices' model: the caption, "model IPv4".
    const auto* list = qobject_cast<const QListView*>(&view);
    const int caption = list != nullptr ? list->modelColumn() : 0;
    for (int row = 0; row < model->rowCount(); ++row) {
        lines << model->index(row, caption).data(Qt::DisplayRole).toString();
    }
    if (model->rowCount() > 0) {
        view.selectionModel()->setCurrentIndex(model->index(0, 0),
                                               QItemSelectionModel::ClearAndSelect);
    }
    lines << QStringLiteral("status: ") + window.statusText();
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    nimbrel::MainWindow window(std::make_unique<nimbrel::SearchDriver>(
        std::make_unique<nimbrel::UdpSearchSocket>(), std::make_unique<nimbrel::SteadyClock>(),
        nimbrel::addressLookup(nimbrel::lookUpLocalAddress)));
    auto* view = window.findChild<QAbstractItemView*>(QStringLiteral("deviceList"));
    if (view == nullptr) {
        return 2;
    }
    window.show();
    QObject::connect(&window, &nimbrel::MainWindow::searchFinished, &window, [&] {
        QCoreApplication::exit(writeUtf8(output, listedTexts(window, *view)) ? 0 : 1);
    });
    QObject::connect(&window, &nimbrel::MainWindow::searchFailed, &window, [&] {
        writeUtf8(output, QStringLiteral("failed: ") + window.statusText() + QLatin1Char('\n'));
        QCoreApplication::exit(1);
    });
    if (!window.search()) {
        writeUtf8(output,
                  QStringLiteral("not started: ") + window.statusText() + QLatin1Char('\n'));
        return 1;
    }
    return QApplication::exec();
}
