#pragma once
// The analog clock: a round face (a stretched picture, if any), 60 minute
// marks and three hands. In clock mode it shows the time of day, shifted by
// its offsets; in timer mode the time elapsed since it was switched on, as
// the 500 ms trigger it keeps in its controller's timer pool measures it.
#include <cstdint>
#include <memory>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/DateTime.h"
#include "reportview/OvcBase.h"

// The hands' colours, lengths (percent of the radius) and widths (pixels).
class TOvcHandOptions : public TPersistent {
    ZELMOR_CLASS(TOvcHandOptions, TPersistent)
public:
    static void DescribeProperties(TPropertyTable& T);
    TColor HourHandColor() const { return FHourHandColor; }
    void SetHourHandColor(TColor Value) { Store(FHourHandColor, Value); }
    uint8_t HourHandLength() const { return FHourHandLength; }
    void SetHourHandLength(uint8_t Value) { Store(FHourHandLength, Value); }
    int HourHandWidth() const { return FHourHandWidth; }
    void SetHourHandWidth(int Value) { StoreWidth(FHourHandWidth, Value); }
    TColor MinuteHandColor() const { return FMinuteHandColor; }
    void SetMinuteHandColor(TColor Value) { Store(FMinuteHandColor, Value); }
    uint8_t MinuteHandLength() const { return FMinuteHandLength; }
    void SetMinuteHandLength(uint8_t Value) { Store(FMinuteHandLength, Value); }
    int MinuteHandWidth() const { return FMinuteHandWidth; }
    void SetMinuteHandWidth(int Value) { StoreWidth(FMinuteHandWidth, Value); }
    TColor SecondHandColor() const { return FSecondHandColor; }
    void SetSecondHandColor(TColor Value) { Store(FSecondHandColor, Value); }
    uint8_t SecondHandLength() const { return FSecondHandLength; }
    void SetSecondHandLength(uint8_t Value) { Store(FSecondHandLength, Value); }
    int SecondHandWidth() const { return FSecondHandWidth; }
    void SetSecondHandWidth(int Value) { StoreWidth(FSecondHandWidth, Value); }
    bool ShowSecondHand() const { return FShowSecondHand; }
    void SetShowSecondHand(bool Value) { Store(FShowSecondHand, Value); }
    bool SolidHands() const { return FSolidHands; }
    void SetSolidHands(bool Value) { Store(FSolidHands, Value); }
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;

private:
    template <class T>
    void Store(T& Field, T Value) {
        StoreChange(Field, Value, OnChange, this);
    }
    // A width of 0 or less is ignored.
    void StoreWidth(int& Field, int Value) {
        if (Value > 0) Store(Field, Value);
    }
    TColor FHourHandColor = clBlack;
    uint8_t FHourHandLength = 60;
    int FHourHandWidth = 4;
    TColor FMinuteHandColor = clBlack;
    uint8_t FMinuteHandLength = 80;
    int FMinuteHandWidth = 3;
    TColor FSecondHandColor = clRed;
    uint8_t FSecondHandLength = 90;
    int FSecondHandWidth = 1;
    bool FShowSecondHand = true;
    bool FSolidHands = true;
};

enum TOvcClockMode : uint8_t { cmClock, cmTimer };
ZELMOR_DECLARE_ENUM(TOvcClockMode);

class TOvcCustomClock : public TOvcCustomControlEx {
    ZELMOR_CLASS(TOvcCustomClock, TOvcCustomControlEx)
public:
    static constexpr uint32_t TickInterval = 500;

    explicit TOvcCustomClock(TComponent* AOwner);
    ~TOvcCustomClock() override;
    void BeforeDestruction() override;

    bool Active() const { return FActive; }
    // Switched on, the clock ticks from its controller's timer pool (so it
    // needs one: ENoControllerAssigned otherwise) and a timer starts from 0.
    void SetActive(bool Value);
    TBitmap* ClockFace() const { return FClockFace.get(); }
    void SetClockFace(TBitmap* Value);
    TOvcClockMode ClockMode() const { return FClockMode; }
    void SetClockMode(TOvcClockMode Value);
    bool DrawMarks() const { return FDrawMarks; }
    void SetDrawMarks(bool Value);
    TOvcHandOptions* HandOptions() const { return FHandOptions.get(); }
    void SetHandOptions(TOvcHandOptions* Value) { FHandOptions->Assign(Value); }
    // Hours, -12 to 12; minutes, -60 to 60. Other values are ignored.
    int TimeOffset() const { return FTimeOffset; }
    void SetTimeOffset(int Value);
    int MinuteOffset() const { return FMinuteOffset; }
    void SetMinuteOffset(int Value);
    // The time the hands show.
    TDateTime DisplayedTime() const { return FTime; }
    // A time of the same hour, minute and second changes nothing.
    virtual void SetTime(TDateTime Value);
    void SetController(TOvcController* Value) override;

    // Timer mode: what the pool has measured while the clock runs; once it
    // stops, what was measured when it stopped.
    int32_t GetElapsedDays();
    int32_t GetElapsedHours();
    int32_t GetElapsedMinutes();
    int32_t GetElapsedSeconds();
    int32_t GetElapsedSecondsTotal();
    // The shifted time of day that clock mode shows at Now.
    TDateTime ClockModeTime(TDateTime Now) const;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnHourChange;
    TNotifyEvent OnMinuteChange;
    TNotifyEvent OnSecondChange;

protected:
    void Loaded() override;
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void WMEraseBkgnd(TMessage& Message) override;
    void WMGetDlgCode(TMessage& Message) override;

private:
    void Tick(TObject* Sender, int32_t Handle, uint32_t Interval, int32_t ElapsedTime);
    void StopTrigger();
    void UpdateElapsed();
    void PaintFace(TCanvas* C);

    bool FActive = false;
    std::unique_ptr<TBitmap> FClockFace;
    TOvcClockMode FClockMode = cmClock;
    bool FDrawMarks = true;
    TDateTime FTime = 0;
    std::unique_ptr<TOvcHandOptions> FHandOptions;
    int FTimeOffset = 0;
    int FMinuteOffset = 0;
    std::unique_ptr<TBitmap> FPicture;  // painted off-screen, then shown at once
    int32_t FTrigger = -1;
    TOvcTimerPool* FPool = nullptr;  // the pool that holds the trigger
    int FLastHour = 0, FLastMinute = 0, FLastSecond = 0;
    int32_t FDays = 0, FHours = 0, FMinutes = 0, FSeconds = 0, FSecondsTotal = 0;
};

class TOvcClock : public TOvcCustomClock {
    ZELMOR_CLASS(TOvcClock, TOvcCustomClock)
public:
    static void DescribeProperties(TPropertyTable& T);
    explicit TOvcClock(TComponent* AOwner) : TOvcCustomClock(AOwner) {}
};

// Milliseconds as days and a time of day, the seconds whole.
TDateTime OvcMSecsToDateTime(int64_t MSecs);
