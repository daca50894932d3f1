// SPDX-License-Identifier: MIT
// The program's working window: the devices in three views of one model (large images, small
// images, details), the find field, the search animation, the status bar, the menu and the
// commands behind them. Searches run on the event loop through a SearchRunner, so the window
// keeps painting and answering throughout them.
#pragma once

#include <QMainWindow>
#include <QModelIndexList>
#include <memory>
#include <optional>

#include "discovery/clock.h"
#include "discovery/device_history.h"
#include "discovery/device_view.h"
#include "discovery/error.h"
#include "main/list_export.h"
#include "main/search_runner.h"

class QAbstractItemView;
class QAction;
class QFrame;
class QItemSelectionModel;
class QLabel;
class QLineEdit;
class QMenu;
class QStackedWidget;
class QStatusBar;
class QTableView;
class QTimer;

namespace nimbrel {

class DeviceFilterModel;
class DeviceList;
class DeviceModel;
class ImageList;
class SearchAnimation;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    /// How the devices are shown; the choice is kept between runs.
    enum class View { LargeImage, SmallImage, Details };

    /// Builds the window, hidden, with an empty list, in the view, size and position kept from
    /// the last run; no search runs until asked for.
    /// `clock` times the searches' ends for the device history (the system clock when none).
    explicit MainWindow(std::unique_ptr<SearchRunner> searchRunner,
                        std::unique_ptr<WallClock> clock = {});
    ~MainWindow() override;

    void setView(View view);
    View view() const { return view_; }

    /// Narrows every view to the devices that match `text` (see deviceMatches) and shows the
    /// find field while it is not empty; an empty text shows every device again.
    void setFindText(const QString& text);

    /// Starts a search; ignored while one runs. True when it started: its end is then announced
    /// by searchFinished or searchFailed, which may come before this returns.
    bool search();

    /// Opens the selected device's web page; with nothing selected, says how to select one.
    /// When the system cannot open it, the status bar says so with the address.
    void openSelectedDevice();

    /// Put the selected device's IPv4 address, or its MAC as the status bar shows it, on the
    /// clipboard; nothing happens with nothing selected.
    void copyAddress();
    void copyMac();
    /// Puts the selected rows on the clipboard as the details table shows them, in its order,
    /// columns separated by tabs and each row ended by a line break; with several rows, a
    /// header line comes first.
    void copyRows();

    /// Saves the listed devices (those the find text leaves in view, in the order shown) as
    /// CSV or JSON, as the file name's suffix says (see listFormatOf). A failure is shown in a
    /// box and leaves an older file of that name as it was. True when written.
    bool saveList(const QString& fileName);
    /// Asks for the file to save the list to, then saves it.
    void askToSaveList();

    /// Shows how many characters of the selected device's copy text are copied (all but its
    /// control characters) and, once that box is closed, puts them on the clipboard followed by
    /// CR LF; empties the clipboard when none is left.
    void copySelectedDevice();

    void toggleAutoRefresh();

    /// Whether searches cover every network of the computer; kept between runs.
    void setSearchAllNetworks(bool on);

    /// The device that the selected row shows, as it was found: with several rows selected,
    /// the current one if it is among them, else the first.
    std::optional<DeviceView> selectedDevice() const;

    /// The context menu of the devices (Copy IPv4 Address, Copy MAC Address, Copy Row(s),
    /// Open).
    QMenu* contextMenu() const { return contextMenu_; }

    QString statusText() const;

Q_SIGNALS:
    /// A search has ended and the list shows what it found.
    void searchFinished();
    /// A search has failed; the list stays as it was. Its report is the receiver's to show.
    void searchFailed(const nimbrel::Error& error);
    void aboutRequested();
    /// Exit, or the window was closed: the program is to end.
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createParts();
    QFrame* createListPanel(QWidget* client);
    void createViews(QWidget* panel);
    void createFindBar(QWidget* panel);
    void fitColumnsToFont();
    void createStatusBar(QWidget* client);
    void createMenu();
    void createContextMenu();
    void showContextMenu(QAbstractItemView* view, const QPoint& position);
    void connectParts();
    bool viewEvent(QObject* watched, QEvent* event);
    void showSearching();
    void showResult(const SearchResult& result);
    void showFailure(const Error& error);
    void stopAnimation();
    void showSelectedDevice();
    QString selectedDeviceText() const;
    std::optional<HistoryEntry> selectedRow() const;
    QModelIndexList selectedRows() const;
    /// The index (of the shown model) of the row that commands act on: the current row when it
    /// is selected, else the first selected; invalid when nothing is selected.
    QModelIndex chosenIndex() const;
    std::vector<DeviceView> listedDevices() const;
    void setStatusText(const QString& text);
    void listDevices(const SearchResult& result);
    void restoreSelection(const std::vector<std::uint64_t>& selected, std::uint64_t current);
    void selectRow(const QModelIndex& index);
    void selectFirstIfNone();
    void saveSetting(const char* key, const QVariant& value);
    void showNetworksHint();
    void showCount();
    void openFind();
    void closeFind();
    void placeAnimation();
    void restoreSize();
    void placeOnScreen();
    void centreOnScreen();
    QAbstractItemView* shownView() const;
    QItemSelectionModel* selection() const;

    std::unique_ptr<SearchRunner> searchRunner_;
    std::unique_ptr<WallClock> clock_;
    DeviceHistory history_;
    bool placed_ = false;
    bool searchedBefore_ = false;  // a search has been listed: new devices can be told
    View view_ = View::LargeImage;
    int leftOut_ = 0;  // of the last search
    int lostReplies_ = 0;
    int droppedDatagrams_ = 0;

    // Parts of the window; the window owns them through Qt's parent.
    DeviceModel* model_ = nullptr;
    DeviceFilterModel* shownModel_ = nullptr;  // sorted and filtered, what every view shows
    QFrame* listPanel_ = nullptr;
    QStackedWidget* views_ = nullptr;
    DeviceList* deviceList_ = nullptr;
    QTableView* deviceTable_ = nullptr;
    QWidget* findBar_ = nullptr;
    QLineEdit* findField_ = nullptr;
    ImageList* deviceImages_ = nullptr;
    SearchAnimation* searchAnimation_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* countLabel_ = nullptr;  // devices left out, replies lost
    QLabel* networksLabel_ = nullptr;
    QTimer* autoRefreshTimer_ = nullptr;
    QAction* autoRefreshAction_ = nullptr;
    QAction* browseAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QAction* allNetworksAction_ = nullptr;
    QAction* largeImageAction_ = nullptr;
    QAction* smallImageAction_ = nullptr;
    QAction* detailsAction_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* saveListAction_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QAction* copyAddressAction_ = nullptr;
    QAction* copyMacAction_ = nullptr;
    QAction* copyRowsAction_ = nullptr;
};

/// The character code of a key press as a Windows list view receives it: Ctrl+letter as the
/// control code (Ctrl+C is 3), otherwise the typed character; 0 when the press types nothing.
char keyCharacter(int key, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace nimbrel
