#include "tests/app/startup_fixture.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWindow>

#include "about/about_box.h"

namespace nimbrel::testing {

void StartupTest::Prepare(std::vector<tools::SimulatedReply> replies, int showCommand,
                          SearchTimings timings) {
    simulator_ = std::make_unique<SimulatorThread>(std::move(replies));
    FormDependencies dependencies;
    dependencies.endpoint = EndpointSettings{targetHost_, simulator_->Port(),
                                             timings.receiveTimeout, timings.idleSlice};
    dependencies.pause = timings.pause;
    dependencies.lookup = [] { return std::optional<std::string>("127.0.0.1"); };
    startup_ = std::make_unique<Startup>(std::move(dependencies), showCommand);
    // Generous, because the machine is shared; a passing test never waits for it.
    watchdog_ = std::make_unique<QTimer>();
    watchdog_->setSingleShot(true);
    QObject::connect(watchdog_.get(), &QTimer::timeout, [] {
        ADD_FAILURE() << "the program did not end by itself";
        QCoreApplication::exit(0);
    });
    watchdog_->start(60000);
}

void StartupTest::ReplaceReplies(std::vector<tools::SimulatedReply> replies) {
    const std::uint16_t port = simulator_->Port();
    earlierRequests_ += simulator_->RequestCount();
    simulator_.reset();
    simulator_ = std::make_unique<SimulatorThread>(std::move(replies), port);
}

TForm1& StartupTest::Form() {
    TForm1* form = startup_->Form1();
    EXPECT_NE(form, nullptr);
    return *form;
}

TAboutBox& StartupTest::About() {
    TAboutBox* about = startup_->AboutBox();
    EXPECT_NE(about, nullptr);
    return *about;
}

QListWidget* StartupTest::List() {
    return Form().findChild<QListWidget*>("ServerList");
}

SearchAnimation* StartupTest::Animation() {
    return Form().findChild<SearchAnimation*>("Animate1");
}

QAction* StartupTest::Action(const char* name) {
    auto* action = Form().findChild<QAction*>(name);
    EXPECT_NE(action, nullptr) << name;
    return action;
}

QTimer* StartupTest::Timer() {
    return Form().findChild<QTimer*>("tmr1");
}

QStringList StartupTest::Captions() {
    QStringList captions;
    for (int row = 0; row < List()->count(); ++row) {
        captions << List()->item(row)->text();
    }
    return captions;
}

bool StartupTest::OnScreen() {
    const TForm1* form = startup_->Form1();
    return form != nullptr && form->isVisible() && form->windowHandle() != nullptr &&
           form->windowHandle()->isExposed();
}

bool StartupTest::Idle() {
    return OnScreen() && !Animation()->isVisible();
}

tools::DeviceSpec Device(std::string model, std::uint8_t last) {
    return tools::DeviceSpec{std::move(model), {192, 0, 2, last}, {2, 0, 0, 0, 0, last}, "v", "c"};
}

}  // namespace nimbrel::testing
