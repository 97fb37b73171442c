// What a refused call leaves in the recording host: exactly the expected
// error, as the last host operation, with no data read and no array created
// before it.
#ifndef VORLAN_TESTS_EXPECT_REFUSED_HPP
#define VORLAN_TESTS_EXPECT_REFUSED_HPP

#include <gtest/gtest.h>

#include <string>

#include "recording_host.hpp"

namespace vorlan::testing {

inline void expect_refused(const RecordingHost& host, bool raised, const Message& expected) {
  EXPECT_TRUE(raised);
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_STREQ(host.errors[0].id, expected.id);
  EXPECT_STREQ(host.errors[0].text, expected.text);
  EXPECT_EQ(host.calls.back(), "MEXERRMSGTXT");
  for (const std::string& name : host.calls) EXPECT_FALSE(reads_or_creates(name)) << name;
  EXPECT_TRUE(host.created.empty());
}

}  // namespace vorlan::testing

#endif
