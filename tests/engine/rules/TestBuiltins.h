#pragma once
// Built-ins for the rule-set tests, behaving as the scripts expect of them:
// note-info slots (read and write), a band comparison, a greater-than test,
// a clamp and the set's stop. They stand in the catalogue for the length of
// one test (a TestBuiltins object); without one the names cannot be made.
#include <gtest/gtest.h>

namespace rultest {

struct TestBuiltins {
    TestBuiltins();
    ~TestBuiltins();
    TestBuiltins(const TestBuiltins&) = delete;
    TestBuiltins& operator=(const TestBuiltins&) = delete;
};

}  // namespace rultest
