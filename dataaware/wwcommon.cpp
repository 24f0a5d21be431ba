#include "dataaware/wwcommon.h"

#include "dataaware/Wwintl.h"
#include "dataaware/wwstr.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Strings.h"

namespace {

// A scan over a text with a 1-based position that moves on success only.
class TScanner {
public:
    TScanner(std::string_view Text, int Position = 1) : FText(Text), FPos(Position) {}

    int Position() const { return FPos; }
    bool AtEnd() const { return FPos > static_cast<int>(FText.size()); }

    void SkipSpaces() {
        while (!AtEnd() && Char() == ' ') ++FPos;
    }
    bool Separator(char C) {
        int saved = FPos;
        SkipSpaces();
        if (!AtEnd() && Char() == C) {
            ++FPos;
            return true;
        }
        FPos = saved;
        return false;
    }
    bool Word(std::string_view Word) {
        if (Word.empty()) return false;
        int saved = FPos;
        SkipSpaces();
        size_t at = static_cast<size_t>(FPos) - 1;
        if (at + Word.size() <= FText.size() && AnsiSameText(FText.substr(at, Word.size()), Word)) {
            FPos += static_cast<int>(Word.size());
            return true;
        }
        FPos = saved;
        return false;
    }
    // Digits while the value read so far stays within 999 (12345 reads 1234).
    bool Number(int& Value) {
        int saved = FPos;
        SkipSpaces();
        int digits = 0;
        Value = 0;
        while (!AtEnd() && Char() >= '0' && Char() <= '9' && Value <= 999) {
            Value = Value * 10 + (Char() - '0');
            ++FPos;
            ++digits;
        }
        if (digits > 0) return true;
        FPos = saved;
        return false;
    }
    // A number, or a short month name where a number may stand.
    bool DateNumber(int& Value) {
        if (Number(Value)) return true;
        int saved = FPos;
        SkipSpaces();
        size_t at = static_cast<size_t>(FPos) - 1;
        if (at + 3 <= FText.size()) {
            AnsiString three = UpperCase(FText.substr(at, 3));
            const TFormatSettings& settings = FormatSettings();
            for (int m = 0; m < 12; ++m) {
                if (UpperCase(settings.ShortMonthNames[static_cast<size_t>(m)]) == three) {
                    Value = m + 1;
                    FPos += 3;
                    return true;
                }
            }
        }
        FPos = saved;
        return false;
    }

    bool Date(int Pivot, TDateTime& Date) {
        int saved = FPos;
        if (ScanDate(Pivot, Date)) return true;
        FPos = saved;
        return false;
    }
    bool Time(TDateTime& Time) {
        int saved = FPos;
        if (ScanTime(Time)) return true;
        FPos = saved;
        return false;
    }

private:
    char Char() const { return FText[static_cast<size_t>(FPos) - 1]; }

    bool ScanDate(int Pivot, TDateTime& Date) {
        const TFormatSettings& settings = FormatSettings();
        int n1, n2, n3;
        if (!DateNumber(n1) || !Separator(settings.DateSeparator) || !DateNumber(n2)) return false;
        int year, month, day;
        TwwDateOrder order = GetDateOrder(settings.ShortDateFormat);
        if (Separator(settings.DateSeparator)) {
            if (!DateNumber(n3)) return false;
            switch (order) {
            case doMDY: month = n1, day = n2, year = n3; break;
            case doDMY: day = n1, month = n2, year = n3; break;
            default: year = n1, month = n2, day = n3; break;
            }
            if (year < 100) {
                year += Pivot / 100 * 100;
                if (year < Pivot) year += 100;
            }
        } else {
            year = CurrentYear();
            if (order == doDMY) day = n1, month = n2;
            else month = n1, day = n2;
        }
        SkipSpaces();
        return EncodeDateValue(year, month, day, Date);
    }

    bool ScanTime(TDateTime& Time) {
        const TFormatSettings& settings = FormatSettings();
        int hour, minute, second = 0;
        if (!Number(hour) || !Separator(settings.TimeSeparator) || !Number(minute)) return false;
        if (Separator(settings.TimeSeparator) && !Number(second)) return false;
        int half = -1;  // 0 before noon, 1 after
        if (Word(settings.TimeAMString) || Word("AM")) half = 0;
        else if (Word(settings.TimePMString) || Word("PM")) half = 1;
        if (half >= 0) {
            if (hour < 1 || hour > 12) return false;
            if (hour == 12) hour = 0;
            if (half == 1) hour += 12;
        }
        SkipSpaces();
        return EncodeTimeValue(hour, minute, second, 0, Time);
    }

    std::string_view FText;
    int FPos;
};

// Which of the order's components the k-th piece of a date is.
TwwDateTimePart DatePartOfPiece(int Pieces, TwwDateOrder Order) {
    static constexpr TwwDateTimePart parts[3][3] = {{dtpMonth, dtpDay, dtpYear},   // month-day-year
                                                    {dtpDay, dtpMonth, dtpYear},   // day-month-year
                                                    {dtpYear, dtpMonth, dtpDay}};  // year-month-day
    if (Pieces < 0 || Pieces > 2) return dtpDay;
    return parts[Order][Pieces];
}

// The time part at the caret, counting the time separators from Start.
TwwDateTimePart TimePartFrom(int Caret, std::string_view Text, int Start) {
    const char separator = FormatSettings().TimeSeparator;
    int position = Start, count = 0, second = 0;
    while (position > 0) {
        NextToken(Text, std::string_view(&separator, 1), position);
        if (position < 0) break;
        int at = position - 1;  // the separator's own position
        if (at > Caret) break;
        if (++count == 2) second = at;
        // The first character of each time field is passed over.
        ++position;
    }
    switch (count) {
    case 0: return dtpHour;
    case 1: return dtpMinute;
    case 2: return Caret - second > 2 ? dtpAmPm : dtpSecond;
    default: return dtpSecond;
    }
}

}  // namespace

int DefaultPivotYear() { return DefaultIntl ? DefaultIntl->DefaultEpochYear() : 1950; }

bool ParseDateTextPivot(std::string_view Text, TDateTime& Date, int Pivot) {
    TScanner scan(Text);
    return scan.Date(Pivot, Date);
}

bool ParseDateText(std::string_view Text, TDateTime& Date) {
    return ParseDateTextPivot(Text, Date, DefaultPivotYear());
}

bool IsDateText(std::string_view Text) {
    TScanner scan(Text);
    TDateTime date;
    return scan.Date(DefaultPivotYear(), date) && scan.AtEnd();
}

bool IsTimeText(std::string_view Text) {
    TScanner scan(Text);
    TDateTime time;
    return scan.Time(time) && scan.AtEnd();
}

bool IsDateTimeText(std::string_view Text) {
    TScanner scan(Text);
    TDateTime date, time;
    return scan.Date(DefaultPivotYear(), date) && scan.Time(time) && scan.AtEnd();
}

TDateTime DateTextToValue(std::string_view Text) {
    TDateTime date;
    return ParseDateText(Text, date) ? date : 0;
}

TDateTime TimeTextToValue(std::string_view Text) {
    TScanner scan(Text);
    TDateTime time;
    return scan.Time(time) && scan.AtEnd() ? time : 0;
}

TDateTime DateTimeTextToValue(std::string_view Text) {
    TScanner scan(Text);
    TDateTime date, time;
    if (!scan.Date(DefaultPivotYear(), date) || !scan.Time(time) || !scan.AtEnd()) return 0;
    // Before 30 December 1899 the time of day still counts forwards.
    return date < 0 ? date - time : date + time;
}

bool IsIntegerText(std::string_view Text) {
    for (size_t i = 0; i < Text.size(); ++i) {
        char c = Text[i];
        if (c >= '0' && c <= '9') continue;
        if (c == '-' && i == 0 && Text.size() > 1) continue;
        return false;
    }
    return true;
}

bool IsFloatText(std::string_view Text) {
    if (Text.empty()) return true;
    long double value;
    return TryStrToFloat(Text.substr(0, 63), value);
}

bool ParseDisplayFloat(std::string_view Text, long double& Value, std::string_view DisplayFormat) {
    if (Text.empty()) return true;
    const char decimal = FormatSettings().DecimalSeparator;
    auto isDigit = [](char C) { return C >= '0' && C <= '9'; };
    size_t start = 0;
    while (start < Text.size() && Text[start] != '(' && Text[start] != '-' && !isDigit(Text[start]) &&
           Text[start] != decimal)
        ++start;
    bool negative = false;
    if (start < Text.size() && Text[start] == '-') {
        negative = true;
        ++start;
        while (start < Text.size() && Text[start] != '(' && !isDigit(Text[start]) && Text[start] != decimal)
            ++start;
    }
    AnsiString number;
    for (size_t i = start; i < Text.size(); ++i) {
        char c = Text[i];
        if (isDigit(c) || c == decimal) number += c;
        else if (c == '(') number += '-';
    }
    if (negative) number.insert(0, 1, '-');
    long double value;
    if (!TryStrToFloat(number, value)) return false;
    // A format whose negative section shows no sign ("#,##0;#,##0") shows a
    // negative amount as a positive text: its own formatting tells them apart.
    if (value > 0 && !DisplayFormat.empty() && FormatFloat(DisplayFormat, value) != Text &&
        FormatFloat(DisplayFormat, -value) == Text)
        value = -value;
    Value = value;
    return true;
}

bool EncodeDateValue(int Year, int Month, int Day, TDateTime& Date) {
    return TryEncodeDate(Year, Month, Day, Date);
}

bool EncodeTimeValue(int Hour, int Minute, int Second, int MSec, TDateTime& Time) {
    if (Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 || Second < 0 || Second > 59 || MSec < 0 ||
        MSec > 999)
        return false;
    Time = (static_cast<double>(Hour * 60 + Minute) * 60000 + Second * 1000 + MSec) / MSecsPerDay;
    return true;
}

TwwDateTimePart DateTimePartAt(int Caret, std::string_view Text, bool TimeOnly) {
    int timeStart = 1;
    bool timePart = TimeOnly;
    if (!TimeOnly) {
        TScanner scan(Text);
        TDateTime date;
        if (scan.Date(DefaultPivotYear(), date)) {
            int after = scan.Position();
            timePart = Caret >= after ||
                       (Caret == after - 1 && Caret > 0 && Text[static_cast<size_t>(Caret) - 1] == ' ');
            timeStart = after;
        }
    }
    if (timePart) return TimePartFrom(Caret, Text, timeStart);
    const char separator = FormatSettings().DateSeparator;
    int position = 1, pieces = 0;
    while (position > 0) {
        NextToken(Text, std::string_view(&separator, 1), position);
        if (position < 0 || position - 1 > Caret) break;
        ++pieces;
    }
    return DatePartOfPiece(pieces, GetDateOrder(FormatSettings().ShortDateFormat));
}

TwwDateTimePart TimePartAt(int Caret, std::string_view Text) {
    if (Caret <= 0) return dtpHour;
    return TimePartFrom(Caret, Text, 1);
}

int CurrentYear() {
    int year, month, day;
    DecodeDate(::Date(), year, month, day);
    return year;
}

TwwDateOrder GetDateOrder(std::string_view DateFormat) {
    for (char c : DateFormat) {
        switch (AsciiUpper(c)) {
        case 'M': return doMDY;
        case 'D': return doDMY;
        case 'Y': return doYMD;
        default: break;
        }
    }
    return doMDY;
}
