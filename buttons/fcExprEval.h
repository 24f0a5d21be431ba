#pragma once
// The integer expressions of a shape button's custom points ("WIDTH / 2"
// once the size is put in): whole numbers, "*", "/", "+" and "-",
// multiplication and division before addition and subtraction, each left to
// right. A leading minus is no number.
#include <cstdint>
#include <string_view>

#include "platform/rtl/Object.h"

class TfcEvaluator : public TObject {
    ZELMOR_CLASS(TfcEvaluator, TObject)
public:
    // EInvalidOperation for a character outside digits, spaces and the
    // operators, and for a division by zero; EConvertError for an operand
    // that is no whole number.
    static int32_t Evaluate(std::string_view Text);
};
