#include "sources/GpxValues.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/CodePage.h"
#include "common/DecimalNumber.h"
#include "sources/NameField.h"
#include "sources/Records.h"

namespace gpx {
namespace {

std::string_view TrimSpace(std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
}

// A finite decimal number, the whole text (white space around it aside).
// XML Schema numbers may carry a "+"; the conversion takes only "-".
bool ParseNumber(std::string_view text, double& value) {
    text = TrimSpace(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    return decimal::Parse(text, value);
}

// Reads exactly count digits at position, moving past them.
bool Digits(std::string_view text, size_t& position, size_t count, int& value) {
    if (text.size() - position < count) return false;
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        const char c = text[position + i];
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    position += count;
    return true;
}

bool Expect(std::string_view text, size_t& position, char c) {
    if (position >= text.size() || text[position] != c) return false;
    ++position;
    return true;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return int64_t{era} * 146097 + dayOfEra - 719468;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// 1989-12-31 00:00:00 UTC in Unix time.
constexpr int64_t kGarminEpoch = 631065600;

}  // namespace

void ElementText::Append(const char* data, size_t length) {
    size_t i = 0;
    if (text_.empty()) {
        while (i < length && IsXmlSpace(data[i])) ++i;
    }
    const size_t kept = std::min(length - i, limit_ - text_.size());
    text_.append(data + i, kept);
    for (i += kept; i < length && !cut_; ++i) cut_ = !IsXmlSpace(data[i]);
}

std::string_view ElementText::Trimmed() const {
    std::string_view text = text_;
    if (!cut_) {
        while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    }
    return text;
}

int ParseDegrees(std::string_view text, double limit, int32_t& semicircles) {
    double degrees = 0;
    if (!ParseNumber(text, degrees) || degrees < -limit || degrees > limit) return 0;
    semicircles = static_cast<int32_t>(std::llround(degrees / kSemicircleFactor));
    return 1;
}

int ParseElevation(std::string_view text, float& altitude) {
    double metres = 0;
    if (!ParseNumber(text, metres) || std::fabs(metres) > std::numeric_limits<float>::max()) return 0;
    altitude = static_cast<float>(metres);
    return 1;
}

int ParseTime(std::string_view text, uint32_t& seconds) {
    text = TrimSpace(text);
    size_t at = 0;
    int year, month, day, hour, minute, second;
    if (!Digits(text, at, 4, year) || !Expect(text, at, '-') || !Digits(text, at, 2, month) ||
        !Expect(text, at, '-') || !Digits(text, at, 2, day))
        return 0;
    if (at >= text.size() || (text[at] != 'T' && text[at] != 't' && text[at] != ' ')) return 0;
    ++at;
    if (!Digits(text, at, 2, hour) || !Expect(text, at, ':') || !Digits(text, at, 2, minute) ||
        !Expect(text, at, ':') || !Digits(text, at, 2, second))
        return 0;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
    // 24:00:00 is the end of the day; a second of 60 is a leap second.
    if (hour > 24 || minute > 59 || second > 60 || (hour == 24 && (minute != 0 || second != 0))) return 0;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        ++at;
        const size_t first = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at == first) return 0;
    }
    int64_t offset = 0;
    if (at < text.size() && (text[at] == 'Z' || text[at] == 'z')) {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at] == '-' ? -1 : 1;
        ++at;
        int offsetHours = 0, offsetMinutes = 0;
        if (!Digits(text, at, 2, offsetHours)) return 0;
        if (at < text.size()) {
            Expect(text, at, ':');
            if (!Digits(text, at, 2, offsetMinutes)) return 0;
        }
        if (offsetHours > 23 || offsetMinutes > 59) return 0;
        offset = sign * (offsetHours * 3600 + offsetMinutes * 60);
    }
    if (at != text.size()) return 0;

    const int64_t unixTime = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
    const int64_t garmin = unixTime - kGarminEpoch;
    seconds = garmin < 0 || garmin > int64_t{UINT32_MAX} ? 0 : static_cast<uint32_t>(garmin);
    return 1;
}

void StoreUtf8Name(char* field, size_t capacity, std::string_view utf8) {
    StoreName(field, capacity, codepage::Utf8ToCp950(utf8));
}

}  // namespace gpx
