// The calculator's engine: left-to-right operations, percent of the first
// operand, the memory, the stack's four slots and the errors it raises by
// its own checks.
#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "reportview/OvcCalc.h"

namespace {

// Feeds operands each with the operation that follows it, as the control does.
long double Feed(TOvcBasicCalculatorEngine& E,
                 std::vector<std::pair<long double, TOvcCalculatorOperation>> Steps) {
    for (auto [value, op] : Steps) {
        E.AddOperand(value, op);
        E.AddOperation(op);
    }
    return E.TopOperand();
}

TEST(OvcCalculatorEngine, LeftToRightPercentAndCounts) {
    struct Case {
        const char* Name;
        bool SeparatePercent;
        std::vector<std::pair<long double, TOvcCalculatorOperation>> Steps;
        long double Result;
    } cases[] = {
        {"2 + 3 x 4 =", false, {{2, coAdd}, {3, coMul}, {4, coEqual}}, 20},
        {"200 + 10 %", false, {{200, coAdd}, {10, coPercent}}, 220},
        {"200 + 10 % separate", true, {{200, coAdd}, {10, coPercent}}, 20},
        {"200 - 10 %", false, {{200, coSub}, {10, coPercent}}, 180},
        {"3 x 50 %", false, {{3, coMul}, {50, coPercent}}, 1.5},
        {"9 / 4 =", false, {{9, coDiv}, {4, coEqual}}, 2.25},
        {"16 sqrt", false, {{16, coSqrt}}, 4},
        {"4 1/x", false, {{4, coInvert}}, 0.25},
    };
    for (const Case& c : cases) {
        TOvcBasicCalculatorEngine e;
        e.ShowSeparatePercent = c.SeparatePercent;
        EXPECT_EQ(Feed(e, c.Steps), c.Result) << c.Name;
    }
    TOvcBasicCalculatorEngine e;
    Feed(e, {{1, coAdd}, {2, coSub}, {3, coAdd}});
    EXPECT_EQ(e.OperationCount, 3) << "additions and subtractions count together";
    Feed(e, {{4, coMul}, {5, coMul}, {6, coDiv}});
    EXPECT_EQ(e.OperationCount, 1) << "a division after multiplications starts again";
}

TEST(OvcCalculatorEngine, EqualsStackAndMemory) {
    TOvcBasicCalculatorEngine e;
    EXPECT_FALSE(e.AddOperand(5, coNone));
    EXPECT_EQ(e.TopOperand(), 0);
    e.AddOperand(7, coEqual);
    EXPECT_TRUE(e.AddOperation(coEqual));
    EXPECT_EQ(e.TopOperand(), 7) << "= without a pending operation";
    EXPECT_EQ(e.LastOperation, coNone);
    for (int i = 1; i <= 5; ++i) e.PushOperand(i);
    EXPECT_EQ(e.Operand(0), 5);
    EXPECT_EQ(e.Operand(3), 2) << "the first of five pushes is lost";
    EXPECT_EQ(e.PopOperand(), 5);
    EXPECT_EQ(e.Operand(3), 0);
    e.PushOperand(42);
    EXPECT_FALSE(e.AddOperation(coMemStore));
    EXPECT_TRUE(e.State.Contains(csClear));
    EXPECT_FALSE(e.AddOperation(coMemAdd));
    EXPECT_EQ(e.Memory, 84);
    e.PushOperand(1);
    EXPECT_TRUE(e.AddOperation(coMemRecall));
    EXPECT_EQ(e.TopOperand(), 84);
    e.ClearAll();
    EXPECT_EQ(e.Memory, 84) << "clearing all keeps the memory";
    EXPECT_EQ(e.TopOperand(), 0);
    EXPECT_TRUE(e.State == (TOvcCalcStates{csValid, csClear}));
    e.AddOperation(coMemClear);
    EXPECT_EQ(e.Memory, 0);
    EXPECT_FALSE(e.AddOperation(coSubTotal));
    e.State = {csLocked};
    EXPECT_FALSE(e.AddOperand(1, coAdd));
    EXPECT_FALSE(e.AddOperation(coAdd));
}

TEST(OvcCalculatorEngine, ArithmeticFaultsRaiseOutOfTheEngine) {
    struct Case {
        const char* Name;
        std::vector<std::pair<long double, TOvcCalculatorOperation>> Steps;
        const char* ClassName;
    } cases[] = {
        {"5 / 0 =", {{5, coDiv}, {0, coEqual}}, "EZeroDivide"},
        {"0 1/x", {{0, coInvert}}, "EZeroDivide"},
        {"-4 sqrt", {{-4, coSqrt}}, "EInvalidOp"},
        {"max x max =", {{LDBL_MAX, coMul}, {LDBL_MAX, coEqual}}, "EOverflow"},
    };
    for (const Case& c : cases) {
        TOvcBasicCalculatorEngine e;
        std::string raised = "(none)";
        try {
            Feed(e, c.Steps);
        } catch (const EMathError& x) {
            raised = x.ClassName();
        }
        EXPECT_EQ(raised, c.ClassName) << c.Name;
    }
}

}  // namespace
