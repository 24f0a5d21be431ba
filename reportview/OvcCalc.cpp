#include "reportview/OvcCalc.h"

#include <cmath>

#include "platform/rtl/Exceptions.h"

namespace {
// A result the display cannot hold ends the calculation as an overflow would.
long double Checked(long double Value) {
    if (!std::isfinite(Value)) throw EOverflow("Floating point overflow");
    return Value;
}

long double Divided(long double A, long double B) {
    if (B == 0) throw EZeroDivide("Floating point division by zero");
    return Checked(A / B);
}
}  // namespace

// --- TOvcCustomCalculatorEngine ---

void TOvcCustomCalculatorEngine::ClearAll() {
    FStack.fill(0);
    LastOperation = coNone;
    OperationCount = 0;
    State = {csValid, csClear};
}

void TOvcCustomCalculatorEngine::PushOperand(long double Value) {
    for (size_t i = FStack.size() - 1; i > 0; --i) FStack[i] = FStack[i - 1];
    FStack[0] = Value;
}

long double TOvcCustomCalculatorEngine::PopOperand() {
    long double top = FStack[0];
    for (size_t i = 0; i + 1 < FStack.size(); ++i) FStack[i] = FStack[i + 1];
    FStack.back() = 0;
    return top;
}

// --- TOvcBasicCalculatorEngine ---

bool TOvcBasicCalculatorEngine::AddOperand(long double Value, TOvcCalculatorOperation Operation) {
    if (Operation == coNone || !State.Contains(csValid)) return false;
    PushOperand(Value);
    return true;
}

void TOvcBasicCalculatorEngine::EvaluateOperation(TOvcCalculatorOperation Operation) {
    if (!State.Contains(csValid)) return;
    long double& s0 = FStack[0];
    long double& s1 = FStack[1];
    switch (Operation) {
    case coAdd:
        s1 = Checked(s1 + s0);
        PopOperand();
        break;
    case coSub:
        s1 = Checked(s1 - s0);
        PopOperand();
        break;
    case coMul:
        s1 = Checked(s1 * s0);
        PopOperand();
        break;
    case coDiv:
        s1 = Divided(s1, s0);
        PopOperand();
        break;
    case coInvert: s0 = Divided(1, s0); break;
    case coPercent:
        s0 = (LastOperation == coAdd || LastOperation == coSub) ? Checked(s0 / 100 * s1) : s0 / 100;
        State = {csValid, csClear};
        break;
    case coSqrt:
        if (s0 < 0) throw EInvalidOp("Invalid floating point operation");
        s0 = std::sqrt(s0);
        break;
    case coMemClear: Memory = 0; break;
    case coMemRecall:
        s0 = Memory;
        State = {csValid, csClear};
        break;
    case coMemStore:
        Memory = s0;
        State.Include(csClear);
        break;
    case coMemAdd:
        Memory = Checked(Memory + s0);
        State.Include(csClear);
        break;
    case coMemSub:
        Memory = Checked(Memory - s0);
        State.Include(csClear);
        break;
    default: break;
    }
}

bool TOvcBasicCalculatorEngine::AddOperation(TOvcCalculatorOperation Operation) {
    if (!State.Contains(csValid)) return false;
    switch (Operation) {
    case coAdd:
    case coSub:
    case coMul:
    case coDiv: {
        EvaluateOperation(LastOperation);
        State = {csValid, csClear};
        bool sameKind = (Operation == coAdd || Operation == coSub)
                            ? (LastOperation == coAdd || LastOperation == coSub)
                            : LastOperation == Operation;
        OperationCount = sameKind ? OperationCount + 1 : 1;
        LastOperation = Operation;
        return true;
    }
    case coEqual:
        State.Include(csClear);
        if (LastOperation != coNone) {
            EvaluateOperation(LastOperation);
            State = {csValid, csClear};
            LastOperation = LastOperation == coEqual ? coNone : coEqual;
        }
        return true;
    case coPercent:
        EvaluateOperation(coPercent);
        if (!ShowSeparatePercent) {
            EvaluateOperation(LastOperation);
            State = {csValid, csClear};
        }
        OperationCount = LastOperation == coPercent ? OperationCount + 1 : 0;
        if (!ShowSeparatePercent) LastOperation = coEqual;
        return true;
    case coInvert:
    case coSqrt:
    case coMemRecall: EvaluateOperation(Operation); return true;
    case coMemClear:
    case coMemStore:
    case coMemAdd:
    case coMemSub: EvaluateOperation(Operation); return false;
    case coNone: return true;
    default: return false;
    }
}
