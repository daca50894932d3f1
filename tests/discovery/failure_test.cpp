#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "discovery/failure.h"

namespace nimbrel {
namespace {

struct Row {
    int code;
    const char* text;
};

// Readable in test listings and failure reports: "Code10040", and the row's code and text.
std::string RowName(const ::testing::TestParamInfo<Row>& row) {
    const int code = row.param.code;
    return (code < 0 ? "CodeMinus" : "Code") + std::to_string(code < 0 ? -code : code);
}

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.code << " \"" << row.text << '"';
}

class SocketErrorTextsTest : public ::testing::TestWithParam<Row> {};

TEST_P(SocketErrorTextsTest, ReadsWordForWord) {
    const Row row = GetParam();
    EXPECT_EQ(SocketErrorText(row.code), row.text);
    EXPECT_EQ(SocketErrorMessage(row.code),
              "Socket Error # " + std::to_string(row.code) + "\r\n" + row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SocketErrorTextsTest,
    ::testing::Values(Row{10004, "Interrupted system call."}, Row{10013, "Access denied."},
                      Row{10035, "Operation would block. "},  // the one trailing blank
                      Row{10040, "Message too long."}, Row{10048, "Address already in use."},
                      Row{10049, "Cannot assign requested address."},
                      Row{10051, "Network is unreachable."},
                      Row{10058, "Cannot send or receive after socket is closed."},
                      Row{10065, "No route to host."},
                      Row{10066, "Directory not empty"},  // the one missing full stop
                      Row{0, ""}, Row{10000, ""}, Row{10067, ""}, Row{12345, ""}, Row{-1, ""}),
    RowName);

TEST(SocketError, CarriesItsCodeKindAndMessage) {
    const SocketError error(10040);
    EXPECT_EQ(error.Code(), 10040);
    EXPECT_EQ(error.Kind(), "ESocketError");
    EXPECT_STREQ(error.what(), "Socket Error # 10040\r\nMessage too long.");
    EXPECT_NE(error.RaisedAt(), nullptr);

    // A code without a text still gets its line break.
    EXPECT_STREQ(SocketError(99).what(), "Socket Error # 99\r\n");

    const Failure& failure = error;  // caught by the default report as a plain failure
    EXPECT_EQ(failure.Kind(), "ESocketError");
}

TEST(Failure, CarriesItsKindAndMessage) {
    const Failure failure("ECouldNotBind",
                          "Could not bind socket. Address and port are already in use.");
    EXPECT_EQ(failure.Kind(), "ECouldNotBind");
    EXPECT_STREQ(failure.what(), "Could not bind socket. Address and port are already in use.");
}

}  // namespace
}  // namespace nimbrel
