// SPDX-License-Identifier: MIT
// The window's commands on the selected devices and on the list: the context menu, copying
// parts of a device or rows of the table, and saving the list.
#include <QAbstractItemView>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include "main/device_list.h"
#include "main/device_model.h"
#include "main/main_window.h"
#include "main/message_dialog.h"
#include "main/status_text.h"
#include "main/text.h"

namespace nimbrel {

namespace {

void putOnClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace

void MainWindow::showContextMenu(QAbstractItemView* view, const QPoint& position) {
    // A right-click has selected the item under it already. The Menu key acts on the selection:
    // its position lies on no item then, and the menu opens at the current or first selected.
    const QModelIndexList rows = selectedRows();
    const QModelIndex at = chosenIndex();
    if (!at.isValid()) {
        return;
    }
    QPoint where = position;
    if (!view->indexAt(position).isValid()) {
        // The icon views show the caption's column, the table every other.
        where = view->visualRect(at.siblingAtColumn(view == deviceList_ ? DeviceModel::Caption
                                                                        : DeviceModel::Model))
                    .center();
    }
    //: Context menu with several devices selected; access key unique in this menu.
    const QString copyRows = tr("Copy &Rows");
    //: Context menu of a device; access key unique in this menu.
    const QString copyRow = tr("Copy &Row");
    copyRowsAction_->setText(rows.size() > 1 ? copyRows : copyRow);
    contextMenu_->popup(view->viewport()->mapToGlobal(where));
}

void MainWindow::copyAddress() {
    if (const std::optional<DeviceView> device = selectedDevice()) {
        putOnClipboard(addressCaption(*device));
    }
}

void MainWindow::copyMac() {
    if (const std::optional<DeviceView> device = selectedDevice()) {
        putOnClipboard(shownMac(*device));
    }
}

void MainWindow::copyRows() {
    const QModelIndexList rows = selectedRows();
    if (rows.isEmpty()) {
        return;
    }
    // The columns that the details table shows, in its order; their texts are those shown,
    // whose control characters (tabs and line breaks among them) are made visible.
    std::vector<int> columns;
    const QHeaderView* header = deviceTable_->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!deviceTable_->isColumnHidden(column)) {
            columns.push_back(column);
        }
    }
    const auto line = [&columns](const std::function<QString(int)>& text) {
        QStringList fields;
        for (const int column : columns) {
            fields << text(column);
        }
        return fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    };
    QString text;
    if (rows.size() > 1) {
        text = line([this](int column) {
            return shownModel_->headerData(column, Qt::Horizontal).toString();
        });
    }
    for (const QModelIndex& row : rows) {
        text += line([this, &row](int column) {
            return shownModel_->index(row.row(), column).data().toString();
        });
    }
    putOnClipboard(text);
}

std::vector<DeviceView> MainWindow::listedDevices() const {
    std::vector<DeviceView> devices;
    for (int row = 0; row < shownModel_->rowCount(); ++row) {
        devices.push_back(shownModel_->index(row, 0).data(DeviceViewRole).value<DeviceView>());
    }
    return devices;
}

bool MainWindow::saveList(const QString& fileName) {
    std::string contents;
    if (listFormatOf(fileName) == ListFormat::Json) {
        SearchResult result;
        result.devices = listedDevices();
        result.leftOut = leftOut_;
        result.droppedDatagrams = droppedDatagrams_;
        result.lostReplies = lostReplies_;
        contents = jsonList(result);
    } else {
        contents = csvList(listedDevices());
    }
    const Result<> written = writeListFile(fileName, contents);
    if (!written.ok()) {
        //: A box after a failed save; %1 is the file, %2 the system's reason.
        MessageDialog::showFailure(tr("The list could not be saved to %1:\n%2")
                                       .arg(visibleText(QDir::toNativeSeparators(fileName)),
                                            QString::fromStdString(written.error().message)));
        return false;
    }
    //: In the status bar after a save; %1 is the file.
    setStatusText(tr("List saved to %1").arg(visibleText(QDir::toNativeSeparators(fileName))));
    return true;
}

void MainWindow::askToSaveList() {
    // Opened, not run: the event loop stays the program's only one.
    //: Title of the file dialog that saves the device list (File > Save List As…).
    auto* dialog = new QFileDialog(this, tr("Save List As"));
    dialog->setObjectName(QStringLiteral("saveListDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    //: File types of Save List As; keep "(*.csv)" and "(*.json)" as they are.
    const QString csv = tr("CSV (*.csv)");
    const QString json = tr("JSON (*.json)");
    dialog->setNameFilters({csv, json});
    dialog->setDefaultSuffix(QStringLiteral("csv"));
    connect(dialog, &QFileDialog::filterSelected, dialog, [dialog, json](const QString& filter) {
        dialog->setDefaultSuffix(filter == json ? QStringLiteral("json") : QStringLiteral("csv"));
    });
    connect(dialog, &QFileDialog::fileSelected, this,
            [this](const QString& fileName) { saveList(fileName); });
    dialog->open();
}

}  // namespace nimbrel
