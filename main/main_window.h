// SPDX-License-Identifier: MIT
// The program's working window: the device list, the search animation, the status bar, the
// menu and the commands behind them. Searches run on the event loop through a SearchRunner, so
// the window keeps painting and answering throughout them.
#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "discovery/device_view.h"
#include "discovery/error.h"
#include "main/search_runner.h"

class QAction;
class QLabel;
class QStatusBar;
class QTimer;

namespace nimbrel {

class DeviceList;
class ImageList;
class SearchAnimation;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    /// Builds the window, hidden, with an empty list; no search runs until asked for.
    explicit MainWindow(std::unique_ptr<SearchRunner> searchRunner);
    ~MainWindow() override;

    /// Starts a search; ignored while one runs. True when it started: its end is then announced
    /// by searchFinished or searchFailed, which may come before this returns.
    bool search();

    /// Opens the selected device's web page; with nothing selected, says how to select one.
    void openSelectedDevice();

    /// Shows how many characters of the selected device's copy text are copied (all but its
    /// control characters) and, once that box is closed, puts them on the clipboard followed by
    /// CR LF; empties the clipboard when none is left.
    void copySelectedDevice();

    void toggleAutoRefresh();

    /// Whether searches cover every network of the computer; kept between runs.
    void setSearchAllNetworks(bool on);

    /// The device that the selected item shows, as it was found.
    std::optional<DeviceView> selectedDevice() const;

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
    void createMenu();
    void connectParts();
    void showSearching();
    void showResult(const SearchResult& result);
    void showFailure(const Error& error);
    void stopAnimation();
    void showSelectedDevice();
    void setStatusText(const QString& text);
    void listDevices(const std::vector<DeviceView>& devices);
    void saveSearchAllNetworks(bool on);
    void showNetworksHint();
    void centreOnScreen();

    std::unique_ptr<SearchRunner> searchRunner_;
    bool centred_ = false;

    // Parts of the window; the window owns them through Qt's parent.
    DeviceList* deviceList_ = nullptr;
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
};

/// The character code of a key press as a Windows list view receives it: Ctrl+letter as the
/// control code (Ctrl+C is 3), otherwise the typed character; 0 when the press types nothing.
char keyCharacter(int key, Qt::KeyboardModifiers modifiers, const QString& text);

}  // namespace nimbrel
