// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "discovery/error.h"

namespace nimbrel {
namespace {

struct Row {
    int code;
    const char* text;
};

// Readable in test listings and failure reports: "Code10040", and the row's code and text.
std::string rowName(const ::testing::TestParamInfo<Row>& row) {
    const int code = row.param.code;
    return (code < 0 ? "CodeMinus" : "Code") + std::to_string(code < 0 ? -code : code);
}

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.code << " \"" << row.text << '"';
}

class SocketErrorTextsTest : public ::testing::TestWithParam<Row> {};

TEST_P(SocketErrorTextsTest, ReadsWordForWord) {
    const Row row = GetParam();
    EXPECT_EQ(socketErrorText(row.code), row.text);
    EXPECT_EQ(socketErrorMessage(row.code),
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
    rowName);

// Its message is the table's (above); Result's ok, value and error are read by every test that
// checks a refusal.
TEST(SocketError, CarriesItsCodeKindAndWhereItWasRaised) {
    const Error error = socketError(10040);
    EXPECT_EQ(error.code, 10040);
    EXPECT_EQ(error.kind, "ESocketError");
    EXPECT_EQ(error.message, socketErrorMessage(10040));
    EXPECT_NE(error.raisedAt, nullptr);

    const Error own = ownError("ECouldNotBind", "Could not bind socket.");
    EXPECT_EQ(own.kind, "ECouldNotBind");
    EXPECT_EQ(own.code, 0);
    EXPECT_NE(own.raisedAt, nullptr);
}

TEST(ErrorReason, IsOneLineWithTheSocketCodeInParentheses) {
    EXPECT_EQ(errorReason(socketError(10049)),
              "Cannot assign requested address (socket error 10049)");
    EXPECT_EQ(errorReason(socketError(10035)), "Operation would block (socket error 10035)");
    EXPECT_EQ(errorReason(socketError(99)), "socket error 99");
    EXPECT_EQ(errorReason(ownError("ECouldNotBind", "Could not bind socket.")),
              "Could not bind socket");
}

}  // namespace
}  // namespace nimbrel
