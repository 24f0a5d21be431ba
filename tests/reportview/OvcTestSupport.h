#pragma once
// What the library's tests share: a fixture with the off-screen display, a
// fresh application and a clock that moves only when told, and small
// controls of the library's kinds written for the tests.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"
#include "reportview/OvcBase.h"
#include "reportview/OvcFiler.h"
#include "tests/support/ui/ScreenTest.h"

class OvcFormTest : public ScreenTest {
protected:
    OvcFormTest();
    // A form of our text form format, read into a new TForm.
    TForm* ReadForm(const std::string& Text);
    uint32_t PixelAt(TCustomForm* Form, int X, int Y) { return PixelOf(Ui, Form, X, Y); }
};

// The colour a TColor paints with, as the pictures hold it (0x00RRGGBB).
uint32_t Rgb(TColor Color);

// A control of the library that names its form's controller.
class TTestOvcView : public TOvcCustomControlEx {
    ZELMOR_CLASS(TTestOvcView, TOvcCustomControlEx)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestOvcView(TComponent* AOwner);
};

// An entry field as the controller sees it: valid or not as the test says.
class TTestField : public TOvcCustomControl, public IOvcEntryField {
    ZELMOR_CLASS(TTestField, TOvcCustomControl)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TTestField(TComponent* AOwner);
    TWinControl* EntryControl() override { return this; }
    uint16_t ValidateContents() override;
    uint16_t LastError() const override { return FLastError; }
    void SetUninitialized(bool Value) override { Uninitialized = Value; }
    void WndProc(TMessage& Message) override;

    uint16_t ErrorCode = 0;  // what the next validation answers
    bool Uninitialized = false;
    int Validations = 0;
    std::vector<uint16_t> Reported;  // the error reports that reached the field

private:
    uint16_t FLastError = 0;
};

// A store of texts in memory, counting its openings and closings.
class TMemoryStore : public TOvcAbstractStore {
    ZELMOR_CLASS(TMemoryStore, TOvcAbstractStore)
public:
    explicit TMemoryStore(TComponent* AOwner) : TOvcAbstractStore(AOwner) {}
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Item,
                          const AnsiString& Default) override;
    void WriteString(const AnsiString& Section, const AnsiString& Item, const AnsiString& Value) override;
    void EraseSection(const AnsiString& Section) override;
    std::map<AnsiString, std::map<AnsiString, AnsiString>> Sections;
    std::vector<AnsiString> Erased;
    int Opens = 0, Closes = 0;

protected:
    void DoOpen() override { ++Opens; }
    void DoClose() override { ++Closes; }
};

void RegisterOvcTestClasses();
