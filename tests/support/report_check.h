// A check of one run-time error report: its bytes up to the message text,
// then a message of one line and the closing CR LF.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace laplace::testing {

inline void expect_report(const std::string& err, const std::string& head) {
  ASSERT_GE(err.size(), head.size() + 3) << err;
  EXPECT_EQ(err.substr(0, head.size()), head);
  const std::string message = err.substr(head.size(), err.size() - head.size() - 2);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
  EXPECT_EQ(err.substr(err.size() - 2), "\r\n");
}

}  // namespace laplace::testing
