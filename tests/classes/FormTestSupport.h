#pragma once
// Helpers of the form tests: a form root that frees itself, fixtures, errors as text.
#include <functional>
#include <string_view>

#include "FormTestClasses.h"
#include "platform/rtl/Exceptions.h"

// A form of class TFmRoot (or Root's class) freed at the end of the test.
class TTestForm {
public:
    TTestForm();
    explicit TTestForm(TComponent* Root) : FRoot(Root) {}
    ~TTestForm();
    TTestForm(const TTestForm&) = delete;
    TTestForm& operator=(const TTestForm&) = delete;

    TComponent* Root() const { return FRoot; }
    TFmRoot* Form() const;
    // The component of that name (a dotted path reaches inside), or a test failure.
    template <class T>
    T* Find(std::string_view Path) const {
        return dynamic_cast<T*>(FindNestedComponent(FRoot, Path));
    }
    void Read(std::string_view Text, std::string_view Source = "test.zfm");
    AnsiString Write() const { return WriteComponentToText(FRoot); }

private:
    TComponent* FRoot;
};

// The text of tests/classes/fixtures/<Name>.
AnsiString ReadFixture(std::string_view Name);
// "EClass: message", or "no error".
AnsiString ErrorOf(const std::function<void()>& Action);
