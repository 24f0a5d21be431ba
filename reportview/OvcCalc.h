#pragma once
// The calculator: its arithmetic engine, a simple left-to-right calculator
// with a four-level operand stack, a memory register and the pending
// operation (each operator completes the one before it: 2 + 3 x 4 = 20).
#include <array>
#include <cstdint>

#include "platform/rtl/Object.h"

enum TOvcCalculatorOperation : uint8_t {
    coNone,
    coAdd,
    coSub,
    coMul,
    coDiv,
    coEqual,
    coInvert,
    coPercent,
    coSqrt,
    coMemClear,
    coMemRecall,
    coMemStore,
    coMemAdd,
    coMemSub,
    coSubTotal
};

enum TOvcCalcState : uint8_t { csValid, csLocked, csClear };
using TOvcCalcStates = TSet<TOvcCalcState>;

class TOvcCustomCalculatorEngine : public TObject {
public:
    // Empties the stack and the pending operation; the memory stays.
    void ClearAll();
    // The bottom slot's value is lost.
    void PushOperand(long double Value);
    // The bottom slot becomes 0.
    long double PopOperand();
    long double TopOperand() const { return FStack[0]; }
    // False (nothing pushed) for coNone or without csValid.
    virtual bool AddOperand(long double Value, TOvcCalculatorOperation Operation) = 0;
    // True when the display must show the new top. Division by zero, the
    // square root of a negative number and a result out of range raise
    // EZeroDivide, EInvalidOp and EOverflow, found by checks (no trap).
    virtual bool AddOperation(TOvcCalculatorOperation Operation) = 0;

    int32_t Decimals = 2;
    bool ShowSeparatePercent = false;
    TOvcCalculatorOperation LastOperation = coNone;
    int32_t OperationCount = 0;
    long double Memory = 0;
    TOvcCalcStates State{csValid, csClear};

    long double Operand(int Slot) const { return FStack[size_t(Slot)]; }

protected:
    std::array<long double, 4> FStack{};
};

class TOvcBasicCalculatorEngine : public TOvcCustomCalculatorEngine {
public:
    bool AddOperand(long double Value, TOvcCalculatorOperation Operation) override;
    bool AddOperation(TOvcCalculatorOperation Operation) override;

private:
    void EvaluateOperation(TOvcCalculatorOperation Operation);
};
