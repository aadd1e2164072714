#include "containers/vector.hpp"

#include "diag/testing.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

namespace velmora {
namespace {

using namespace testing_support;

class VectorTest : public containers_test {};

const auto ints = testing_support::vector_of<int>;

TEST_F(VectorTest, GrowsByExactlyItsStepUpToTenThousandItems) {
    vector<int> v;
    EXPECT_EQ(v.size(), 0);
    EXPECT_EQ(v.capacity(), 2);
    v.append_item(1);
    v.append_item(2);
    EXPECT_EQ(v.capacity(), 2);
    v.append_item(3);
    EXPECT_EQ(v.capacity(), 4);
    while (v.size() < 10000) v.append_item(v.size() + 1);
    EXPECT_EQ(v.capacity(), 10000);
    EXPECT_EQ(reports_of([&] { v.append_item(0); }), error_line("vector::ins_item: too many items"));
    EXPECT_EQ(matrix_status, -2);
    EXPECT_EQ(v.size(), 10000);
    EXPECT_EQ(v[9999], 10000);

    // Spare capacity is never refused: an odd capacity reaches 10001 items.
    vector<int> spare(9996, 3);  // capacity 9999: full at 9999, grows to 10002
    while (spare.size() < 10001) spare.append_item(0);
    EXPECT_EQ(spare.size(), 10001);
}

TEST_F(VectorTest, ResizeCountsTheStepIntoTheLimitAndKeepsContentWhenRefused) {
    vector<int> v = ints({4, 5});
    for (int n : {9999, -1, INT_MAX, INT_MIN}) {
        EXPECT_EQ(reports_of([&] { v.resize(n); }), error_line("vector::can't resize vector:\n incorrect sizes")) << n;
        EXPECT_EQ(v, ints({4, 5}));
    }
    EXPECT_EQ(matrix_status, -2);
    v.resize(9998);
    EXPECT_EQ(v.size(), 9998);
    EXPECT_EQ(v.capacity(), 10000);
    v.resize(3);
    EXPECT_EQ(v, ints({0, 0, 0}));  // fresh int slots are zeroed
    vector<fraction> f;
    f.append_item(fraction(1, 2));
    f.resize(3);
    EXPECT_EQ(f[0], fraction());
}

TEST_F(VectorTest, InsertDeleteFindAndSwap) {
    vector<int> v = ints({1, 2, 3});
    v.ins_item(0, 0);
    v.ins_item(4, 9);
    v.ins_item(2, 7);
    EXPECT_EQ(v, ints({0, 1, 7, 2, 3, 9}));
    v.del_item(5);
    v.del_item(0);
    EXPECT_EQ(v, ints({1, 7, 2, 3}));
    EXPECT_EQ(v.take_item(1), 7);
    v.swap_items(0, 2);
    v.swap_items(1, 1);
    EXPECT_EQ(v, ints({3, 2, 1}));
    v.append_item(2);
    EXPECT_EQ(v.find_item(2), 1);
    EXPECT_EQ(v.find_item(5), -1);
    EXPECT_TRUE(v.has_item(1));
    EXPECT_FALSE(vector<int>().has_item(0));
    EXPECT_EQ(v.at(3), 2);
    EXPECT_EQ(v.capacity(), 6);  // the capacity never shrinks
}

TEST_F(VectorTest, AnItemOfTheVectorItselfCanBeInserted) {
    vector<int> full = ints({1, 2});  // no spare slot: grows
    full.ins_item(0, full[1]);
    EXPECT_EQ(full, ints({2, 1, 2}));
    full.ins_item(0, full[2]);  // spare slot: items shift over the source
    EXPECT_EQ(full, ints({2, 2, 1, 2}));
    full.append_item(full[2]);
    EXPECT_EQ(full, ints({2, 2, 1, 2, 1}));
}

TEST_F(VectorTest, NonFatalErrorsReportTheirMessageAndCodeAndChangeNothing) {
    testing_support::expect_reported_without_effect<vector<int>>(
        {
            {[](vector<int>& v) { v.ins_item(3, 0); }, "vector::ins_item: incorrect index", -2},
            {[](vector<int>& v) { v.ins_item(-1, 0); }, "vector::ins_item: incorrect index", -2},
            {[](vector<int>& v) { v.del_item(2); }, "vector::del_item: incorrect index", -2},
            {[](vector<int>& v) { EXPECT_EQ(v.at(2), 0); }, "vector::at: incorrect index", -6},
            {[](vector<int>& v) { EXPECT_EQ(v.at(-1), 0); }, "vector::at: incorrect index", -6},
            {[](vector<int>& v) { v += ints({1}); }, "vector::operator+= :different sizes of vectors", -3},
            {[](vector<int>& v) { v -= ints({1, 2, 3}); }, "vector::operator-= :different sizes of vectors", -3},
            {[](vector<int>& v) { EXPECT_EQ(v + ints({1, 2, 3}), ints({5, 6})); },
             "vector::operator+ : different sizes of summand vectors", -3},
            {[](vector<int>& v) { EXPECT_EQ(v - ints({1}), ints({5, 6})); }, "vector::operator- :different sizes of vectors", -3},
            {[](vector<int>& v) { EXPECT_EQ(dot(v, ints({1})), 0); }, "vector::dot: different sizes of vectors", -3},
        },
        [] { return ints({5, 6}); });
    reset_diagnostics();
    vector<int> empty;
    EXPECT_EQ(reports_of([&] { empty.del_item(0); }), error_line("vector::del_item: incorrect index"));
}

TEST_F(VectorTest, ArithmeticAndDot) {
    vector<int> a = ints({1, 2, 3});
    const vector<int> b = ints({10, 20, 30});
    EXPECT_EQ(a + b, ints({11, 22, 33}));
    EXPECT_EQ(b - a, ints({9, 18, 27}));
    a += b;
    EXPECT_EQ(a, ints({11, 22, 33}));
    a -= b;
    a -= b;
    EXPECT_EQ(a, ints({-9, -18, -27}));
    EXPECT_EQ(dot(ints({1, 2}), b), 50);  // a longer second operand is fine
    EXPECT_EQ(dot(vector<int>(), vector<int>()), 0);
    EXPECT_NE(ints({1, 2}), ints({1, 2, 0}));
    EXPECT_NE(ints({1, 2}), ints({1, 3}));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(VectorTest, CopiesAreDeepAndSelfAssignmentDoesNothing) {
    vector<int> a = ints({1, 2});
    vector<int> b(a);
    b[0] = 9;
    EXPECT_EQ(a, ints({1, 2}));
    vector<int> c(0, 5);
    c = a;
    EXPECT_EQ(c, a);
    EXPECT_EQ(c.step(), 5);  // assignment keeps the target's step
    EXPECT_EQ(c.capacity(), 7);
    EXPECT_EQ(vector<int>(c).step(), 5);
    EXPECT_EQ(reports_of([&] { a = a; }), "");
    EXPECT_EQ(a, ints({1, 2}));
}

TEST_F(VectorTest, AfterAnErrorCopiesAreSizedButNotFilledAndArithmeticReturnsTheFirstOperand) {
    vector<fraction> v;
    v.append_item(fraction(1, 2));
    v.append_item(fraction(-3));
    reports_of([&] { v.del_item(7); });
    ASSERT_EQ(matrix_status, -2);

    const vector<fraction> copy(v);
    EXPECT_EQ(copy.size(), 2);
    EXPECT_EQ(copy[0], fraction());
    vector<fraction> target;
    EXPECT_EQ(reports_of([&] { target = v; }), error_line("vector::operator = : can't assign matrix"));
    EXPECT_EQ(reports_of([&] { target = v; }), error_line("vector::operator = : can't assign matrix"));
    EXPECT_EQ(target.size(), 2);
    EXPECT_EQ(target[1], fraction());
    EXPECT_EQ(v + v, v);
    EXPECT_EQ(v - v, v);
    EXPECT_EQ(matrix_status, -2);
}

TEST_F(VectorTest, RunningOutOfMemoryLeavesTheVectorAsItWas) {
    const long live_before = fraction::live;
    const int failures = testing_support::sweep_allocation_failures([](long k) {
        vector<fraction> v;
        v.append_item(fraction(1));
        v.append_item(fraction(2));  // full: the next insertion grows
        fail_allocation_after(k);
        const std::string err = reports_of([&] { v.ins_item(1, fraction(7)); });
        if (!testing_support::injected_failure_happened()) {
            EXPECT_EQ(v.size(), 3);
            EXPECT_EQ(v[1], fraction(7));
            return false;
        }
        EXPECT_EQ(err, error_line("vector::can't insert new item: out of memory \n vector is not correct"));
        EXPECT_EQ(matrix_status, -1);
        EXPECT_EQ(v.size(), 2);
        EXPECT_EQ(v.capacity(), 2);
        EXPECT_EQ(v[1], fraction(2));
        return true;
    });
    EXPECT_EQ(failures, 1);

    vector<int> v = ints({1, 2});
    fail_allocation_after(1);
    EXPECT_EQ(reports_of([&] { v.resize(5); }), error_line("vector::can't resize vector: out of memory"));
    EXPECT_EQ(v, ints({1, 2}));
    EXPECT_EQ(fraction::live, live_before);
}

TEST(VectorDeathTest, OutOfRangeAccessEndsTheProgram) {
    vector<int> v = ints({1, 2});
    vector<int> empty;
    EXPECT_EXIT(empty.take_item(0), ::testing::ExitedWithCode(1), fatal_report("vector::take_item: out of range"));
    EXPECT_EXIT(v.take_item(2), ::testing::ExitedWithCode(1), fatal_report("vector::take_item: out of range"));
    EXPECT_EXIT(v.swap_items(0, 2), ::testing::ExitedWithCode(1), fatal_report("vector::swap_items: out of range"));
    EXPECT_EXIT(v.swap_items(-1, 0), ::testing::ExitedWithCode(1), fatal_report("vector::swap_items: out of range"));
    EXPECT_EXIT(v[2] = 0, ::testing::ExitedWithCode(1), fatal_report("vector::operator[]: incorrect index"));
    const vector<int>& cv = v;
    EXPECT_EXIT((void)cv[-1], ::testing::ExitedWithCode(1), fatal_report("vector::operator[]: incorrect index"));
}

} // namespace
} // namespace velmora
