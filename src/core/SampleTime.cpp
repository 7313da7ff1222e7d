#include "core/SampleTime.h"

#include <cstdio>

#include "platform/DayCount.h"
#include "platform/Exception.h"

namespace qs {
namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Days from 1970-01-01 to y-m-d (proleptic Gregorian; H. Hinnant's algorithm).
long long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

}  // namespace

SampleTime SampleTimeFromUtc(std::time_t t) {
    std::tm tm{};
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string FormatStamp(const SampleTime& t) {
    const auto fits = [](int v, int below) { return v >= 0 && v < below; };
    if (!(fits(t.year, 10000) && fits(t.month, 100) && fits(t.day, 100) && fits(t.hour, 100) && fits(t.minute, 100) &&
          fits(t.second, 100))) {
        char buf[80];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
        return buf;
    }
    // The usual fields, digit by digit: this runs at every sample, twice.
    char s[] = "0000-00-00 00:00:00";
    const auto put = [&s](int at, int value, int width) {
        for (int i = at + width - 1; i >= at; --i, value /= 10) s[i] = static_cast<char>('0' + value % 10);
    };
    put(0, t.year, 4);
    put(5, t.month, 2);
    put(8, t.day, 2);
    put(11, t.hour, 2);
    put(14, t.minute, 2);
    put(17, t.second, 2);
    return std::string(s, sizeof s - 1);
}

std::string FormatDateBox(const SampleTime& t) { return FormatStamp(t) + " UTC"; }

std::string FormatIsoUtc(const SampleTime& t) {
    std::string stamp = FormatStamp(t);
    if (stamp.size() > 10 && stamp[10] == ' ') stamp[10] = 'T';
    return stamp + "Z";
}

bool IsValidDate(int year, int month, int day) {
    static constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    int days = kDaysIn[month - 1] + (month == 2 && isLeap(year) ? 1 : 0);
    return day <= days;
}

namespace {

double encodeDate(int year, int month, int day) {
    if (!IsValidDate(year, month, day)) throw EConvertError("Invalid argument to date encode");
    return static_cast<double>(daysFromCivil(year, month, day) + kUnixEpochDay);
}

double encodeTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw EConvertError("Invalid argument to time encode");
    return (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
}

}  // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
    const double date = encodeDate(year, month, day);
    return date + encodeTime(hour, minute, second);
}

double DateTimeEncoder::operator()(int year, int month, int day, int hour, int minute, int second) {
    if (year != year_ || month != month_ || day != day_) {
        date_ = encodeDate(year, month, day);
        year_ = year;
        month_ = month;
        day_ = day;
    }
    return date_ + encodeTime(hour, minute, second);
}

}  // namespace qs
