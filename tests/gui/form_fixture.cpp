#include "tests/gui/form_fixture.h"

#include <QTest>
#include <QTimer>

namespace nimbrel::testing {

SimulatorThread::SimulatorThread(std::vector<tools::SimulatedReply> replies, std::uint16_t port)
    : simulator_(platform::Peer{{127, 0, 0, 1}, port}, std::move(replies)),
      thread_([this] { simulator_.Run(stop_); }) {}

SimulatorThread::~SimulatorThread() {
    stop_ = true;
    thread_.join();
}

std::vector<tools::SimulatedReply> Replies(const std::vector<tools::DeviceSpec>& devices,
                                           std::chrono::milliseconds delay) {
    std::vector<tools::SimulatedReply> replies;
    for (const tools::DeviceSpec& device : devices) {
        replies.push_back({tools::BuildReply(device), delay});
    }
    return replies;
}

std::vector<std::uint8_t> ReplyWithoutAddress(const std::string& model) {
    std::vector<std::uint8_t> reply{
        0x01, 0x00, 0x00, 0x00, FieldModel, 0x00, static_cast<std::uint8_t>(model.size())};
    for (const char character : model) {
        reply.push_back(static_cast<std::uint8_t>(character));
    }
    reply[3] = static_cast<std::uint8_t>(reply.size() - 4);
    return reply;
}

std::vector<std::uint8_t> OverlongDatagram() {
    std::vector<std::uint8_t> datagram(202, 0);
    datagram[0] = 0x01;
    return datagram;
}

void FormTest::Start(std::vector<tools::SimulatedReply> replies, bool show, SearchTimings timings) {
    simulator_ = std::make_unique<SimulatorThread>(std::move(replies));
    FormDependencies dependencies;
    dependencies.endpoint = EndpointSettings{"127.0.0.1", simulator_->Port(),
                                             timings.receiveTimeout, timings.idleSlice};
    dependencies.pause = timings.pause;
    dependencies.lookup = [] { return std::optional<std::string>("127.0.0.1"); };
    if (!useRealQuit_) {
        dependencies.requestQuit = [this] { ++quitRequests_; };
    }
    form_ = std::make_unique<TForm1>(std::move(dependencies));
    if (show) {
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    }
}

void FormTest::ReplaceReplies(std::vector<tools::SimulatedReply> replies) {
    const std::uint16_t port = simulator_->Port();
    simulator_.reset();
    simulator_ = std::make_unique<SimulatorThread>(std::move(replies), port);
}

QListWidget* FormTest::List() {
    return form_->findChild<QListWidget*>("ServerList");
}

SearchAnimation* FormTest::Animation() {
    return form_->findChild<SearchAnimation*>("Animate1");
}

QAction* FormTest::Action(const char* name) {
    auto* action = form_->findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QStringList FormTest::Captions() {
    QStringList captions;
    for (int row = 0; row < List()->count(); ++row) {
        captions << List()->item(row)->text();
    }
    return captions;
}

std::vector<int> FormTest::ImageIndexes() {
    std::vector<int> indexes;
    for (int row = 0; row < List()->count(); ++row) {
        indexes.push_back(List()->item(row)->data(ImageIndexRole).toInt());
    }
    return indexes;
}

void FormTest::Select(int row) {
    QListWidget* list = List();
    const QRect place = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
}

void FormTest::DoubleClick(QPoint place) {
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, place);
}

void FormTest::DuringNextSearch(std::function<void()> action) {
    // A zero timer is due at once, but only an event pass of the search dispatches it.
    QTimer::singleShot(0, form_.get(), std::move(action));
}

}  // namespace nimbrel::testing
